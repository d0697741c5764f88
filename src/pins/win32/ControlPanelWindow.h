// The control panel's window: template 129, a child of the main window. It carries the
// panel's timers (the pinning cycle and the save countdown) and the global hotkey, and shows
// the pin records in its list.
#pragma once

#include "pins/ControlDlg.h"
#include "ui/win32/Controls.h"
#include "ui/win32/Dialog.h"

class CControlPanelWindow : public CControlDlg, public CDialogBase {
public:
    // desktop and factory must outlive the panel.
    CControlPanelWindow(CDesktop& desktop, CPinDlgFactory& factory);

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A child panel never ends by keyboard: Enter and Escape in the list do nothing.
    void onOK() override {}
    void onCancel() override {}

    WinHandle panelWindow() override;
    void startTimer(int id, unsigned ms) override;
    void killTimer(int id) override;
    void showRows(const std::vector<PinListRow>& rows) override;
    void destroyPanelWindow() override { destroy(); }

private:
    void initList();

    CListView m_list;
};
