// The Win32 property settings dialog: template 142 with the pin size radio group, the drag
// check box and the hotkey field.
#pragma once

#include "desktop/win32/HotKeyExCtrl.h"
#include "pinwindow/SizeDlg.h"
#include "ui/win32/DataExchange.h"
#include "ui/win32/Dialog.h"

class CSizeDlgWindow : public CSizeDlg, public CDialogBase {
public:
    explicit CSizeDlgWindow(CDesktop& desktop);

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onOK() override;

    WinHandle dialogWindow() override;
    std::pair<std::uint16_t, std::uint16_t> shownHotKey() override;
    CSizeOptions readOptionControls() override;

private:
    void exchangeOptions(Exchange direction, CSizeOptions& options);

    CHotKeyExCtrl m_hotKeyCtrl;
};
