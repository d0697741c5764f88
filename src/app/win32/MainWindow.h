// The resident main window on the screen: template 102, run modally for the life of the
// program. It carries the tray icon, the main panel's visibility, the glass frame and the
// system-menu About item, and hosts the control panel's window.
#pragma once

#include "app/ClavoraDlg.h"
#include "pins/win32/ControlPanelWindow.h"
#include "ui/win32/Dialog.h"

#include <shellapi.h>

// The resident main window from its initialisation to its destruction, nullptr otherwise.
// Safe to ask from any thread (the console's event handler runs on one of its own).
HWND residentMainWindow() noexcept;

class CMainWindow : public CClavoraDlg, public CDialogBase {
public:
    // desktop and factory must outlive the window.
    CMainWindow(CDesktop& desktop, CPinDlgFactory& factory, const std::string& currentDirectory);

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onOK() override { onOkOrCancel(); }
    void onCancel() override { onOkOrCancel(); }
    HBRUSH onCtlColor(HDC dc, HWND control, UINT kind, HBRUSH defaultBrush) override;
    void onPostDestroy() override;

    CControlDlg& controlDlg() override { return m_controlDlg; }
    void prepareWindow() override;
    void createControlPanel() override;
    void showControlPanel() override;
    bool notifyTray(TrayOp op) override;
    std::uint32_t lastError() override { return m_trayError; }
    void pause(unsigned ms) override { Sleep(ms); }
    Rect visibleFrameRect() override;
    Rect windowRect() override;
    void moveWindowTo(const PanelPoint& topLeft) override;
    void showWindow(ShowCommand command) override;
    bool isMinimised() override { return IsIconic(hwnd()) != FALSE; }
    void bringToForeground() override { SetForegroundWindow(hwnd()); }
    void showTrayMenu() override;
    void sendEndSession() override;
    void endDialogOk() override { endDialog(IDOK); }
    void runAboutBox() override;
    bool queryComposition() override;
    void extendGlassFrame(const GlassMargins& margins) override;
    void invalidateWindow() override { InvalidateRect(hwnd(), nullptr, TRUE); }
    void startTimer(int id, unsigned ms) override {
        SetTimer(hwnd(), static_cast<UINT_PTR>(id), ms, nullptr);
    }

private:
    // Painting while minimised: the icon centred on the erased background.
    bool paintMinimised();

    HICON m_hIcon;
    HICON m_hTrayIcon;
    CControlPanelWindow m_controlDlg;
    HWND m_hWndTray = nullptr;
    NOTIFYICONDATAA m_nid{};
    std::uint32_t m_trayError = 0;
};
