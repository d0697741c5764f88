#include "pinwindow/win32/SizeDlgWindow.h"

#include "desktop/win32/Win32Util.h"
#include "resource.h"

CSizeDlgWindow::CSizeDlgWindow(CDesktop& desktop)
    : CSizeDlg(desktop), CDialogBase(IDD_SIZE), m_hotKeyCtrl(desktop) {}

void CSizeDlgWindow::exchangeOptions(Exchange direction) {
    CDataExchange dx(hwnd(), direction);
    dx.radio(IDC_RADIO_SMALL_PIN, m_nPinSize);
    dx.check(IDC_CHECK_MOVE, m_bMoveEnable);
}

std::optional<LRESULT> CSizeDlgWindow::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            exchangeOptions(Exchange::toControls);
            (void)m_hotKeyCtrl.attach(item(IDC_HOTKEY));
            m_hotKeyCtrl.SetHotKeyMod(static_cast<std::uint16_t>(m_nHotKey),
                                      static_cast<std::uint16_t>(m_nModifiers));
            return TRUE;
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

void CSizeDlgWindow::readOptionControls() { exchangeOptions(Exchange::fromControls); }
