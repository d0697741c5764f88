// The control panel's window: template 129, a child of the main window. It carries the
// panel's timers (the pinning cycle and the save countdown) and the global hotkey, and shows
// the pin records in its list.
#pragma once

#include "base/win32/Handles.h"
#include "desktop/win32/SmallIconStore.h"
#include "pins/ControlDlg.h"
#include "pins/win32/ConditionEditor.h"
#include "ui/win32/Controls.h"
#include "ui/win32/Dialog.h"

#include <vector>

class CControlPanelWindow : public CControlDlg, public CDialogBase {
public:
    // desktop, factory and conditions must outlive the panel.
    CControlPanelWindow(CDesktop& desktop, CPinDlgFactory& factory, CConditionEditor& conditions);

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A child panel never ends by keyboard: Enter and Escape in the list do nothing.
    void onOK() override {}
    void onCancel() override {}

    WinHandle panelWindow() override;
    void startTimer(int id, unsigned ms) override;
    void killTimer(int id) override;
    std::uint64_t nowMs() override { return GetTickCount64(); }
    void showRows(const std::vector<PinListRow>& rows, int selected) override;
    void destroyPanelWindow() override { destroy(); }
    bool tellUser(std::u8string_view text) override;
    int selectionMark() override { return m_list.selectionMark(); }
    bool runSizeDialog(CPinSettings& settings) override;
    bool runMatchConditionDialog(CPinData& record, bool fromPin, WinHandle pinWindow) override;
    // The panel, its buttons and its static texts on the panel's grey.
    HBRUSH onCtlColor(HDC dc, HWND control, UINT kind, HBRUSH defaultBrush) override;

private:
    void initList();
    // Out-of-context window events of other programs, heard on this thread between messages.
    void watchWindowEvents();
    static void CALLBACK onWinEvent(HWINEVENTHOOK hook, DWORD event, HWND h, LONG object, LONG child,
                                    DWORD thread, DWORD time);

    // The base's icon cache keeps a reference to it from its construction on; it is used only
    // once the panel is complete.
    CWin32SmallIconStore m_iconStore;
    CConditionEditor& m_conditions;
    CBrushHandle m_brushBack;
    CListView m_list;
    std::vector<CWinEventHookHandle> m_eventHooks;
};
