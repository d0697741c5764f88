// The Win32 match condition dialog: template 138, the data exchange of its seven controls and
// the light-yellow boxes of the child condition.
#pragma once

#include "base/win32/Handles.h"
#include "conditions/MatchConditionDlg.h"
#include "pins/win32/ConditionEditor.h"
#include "ui/win32/DataExchange.h"
#include "ui/win32/Dialog.h"

class CMatchConditionDlgWindow : public CMatchConditionDlg, public CDialogBase {
public:
    // owner is disabled while the dialog runs; it opens below `beside` when there is one.
    CMatchConditionDlgWindow(CDesktop& desktop, HWND owner, HWND beside);

    bool runModal() override;

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onOK() override;
    HBRUSH onCtlColor(HDC dc, HWND control, UINT kind, HBRUSH defaultBrush) override;

    void writeControls() override { exchange(Exchange::toControls); }
    void readControls() override { exchange(Exchange::fromControls); }
    void enableSelectChild(bool enable) override;
    void showChildCondition(const std::string& className, const std::string& ctrlID,
                            const std::string& text) override;
    std::unique_ptr<CChildSelDlg> makeChildSelDlg() override;

private:
    void exchange(Exchange direction);

    HWND m_owner;
    HWND m_beside;
    CBrushHandle m_brushInfo;
};

// The control panel's way to the dialog.
class CWin32ConditionEditor : public CConditionEditor {
public:
    // desktop must outlive the editor.
    explicit CWin32ConditionEditor(CDesktop& desktop) noexcept : m_desktop(desktop) {}

    bool editConditions(HWND owner, HWND pin, CPinData& record) override;

private:
    CDesktop& m_desktop;
};
