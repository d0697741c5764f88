#include "pinwindow/win32/SizeDlgWindow.h"

#include "base/win32/Win32Util.h"
#include "resource.h"

CSizeDlgWindow::CSizeDlgWindow(CDesktop& desktop)
    : CSizeDlg(desktop), CDialogBase(IDD_SIZE), m_hotKeyCtrl(desktop) {}

void CSizeDlgWindow::exchangeOptions(Exchange direction, CSizeOptions& options) {
    CDataExchange dx(hwnd(), direction);
    dx.radio(IDC_RADIO_SMALL_PIN, options.pinSizeIndex);
    dx.check(IDC_CHECK_MOVE, options.moveChecked);
}

std::optional<LRESULT> CSizeDlgWindow::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            CSizeOptions options = initialOptions();
            exchangeOptions(Exchange::toControls, options);
            (void)m_hotKeyCtrl.attach(item(IDC_HOTKEY));
            m_hotKeyCtrl.SetHotKeyMod(static_cast<std::uint16_t>(m_nHotKey),
                                      static_cast<std::uint16_t>(m_nModifiers));
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_HOTKEY_TEST && HIWORD(wParam) == BN_CLICKED) {
                checkDuplicate();
                return 0;
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

void CSizeDlgWindow::onOK() {
    if (acceptOK()) endDialog(IDOK);
}

WinHandle CSizeDlgWindow::dialogWindow() { return toWinHandle(hwnd()); }

std::pair<std::uint16_t, std::uint16_t> CSizeDlgWindow::shownHotKey() { return m_hotKeyCtrl.GetHotKeyMod(); }

CSizeOptions CSizeDlgWindow::readOptionControls() {
    CSizeOptions options;
    exchangeOptions(Exchange::fromControls, options);
    return options;
}
