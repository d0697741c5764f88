// The Win32 pin window: dialog 131 owned by the target, a switchboard from window messages
// to CPinDlg, and the factory that pin records use to make it.
#pragma once

#include "base/win32/Handles.h"
#include "pinwindow/PinDlg.h"
#include "pinwindow/PinDlgFactory.h"
#include "ui/win32/Dialog.h"

#include <windows.h>

class CPinWindow : public CPinDlg, public CDialogBase {
public:
    explicit CPinWindow(CPinDlgFactory& factory);

    // Creates the hidden window owned by target and arms the self-deletion. False when the
    // system refuses; the caller then still owns the object.
    [[nodiscard]] bool createFor(HWND target) noexcept;

    WinHandle pinHandle() override;
    Rect pinRect() override;
    void movePin(const Rect& r) override;
    void showPin() override;

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter and Escape must not close the pin.
    void onOK() override {}
    void onCancel() override {}
    HBRUSH onCtlColor(HDC dc, HWND control, UINT kind, HBRUSH defaultBrush) override;
    void onPostDestroy() override;

    void showPinPicture(const PinLayout& layout) override;
    void startDragging() override;
    void openPinMenu(bool transparencyOffered, int zOrderItem) override;
    std::unique_ptr<CPinPropatyDlg> makeTransparencyDialog() override;
    void destroyPin() override;

private:
    // Takes the target, and with it the pin, as far as the cursor moved since the drag began.
    void followCursor();

    // White, hence invisible under the colour key.
    CBrushHandle m_brushBack;
    CBitmapHandle m_picture;
    bool m_ownsItself = false;
    // Where the left button last went down, and where the cursor was when the drag began.
    POINT m_pressedAt{};
    POINT m_dragCursor{};
};

class CWin32PinFactory : public CPinDlgFactory {
public:
    explicit CWin32PinFactory(CDesktop& desktop) noexcept : m_desktop(desktop) {}

    CPinDlg* createPinDlg(WinHandle target) override;
    CDesktop& desktop() override { return m_desktop; }

private:
    CDesktop& m_desktop;
};
