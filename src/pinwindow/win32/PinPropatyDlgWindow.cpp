#include "pinwindow/win32/PinPropatyDlgWindow.h"

#include "base/win32/Win32Util.h"
#include "resource.h"
#include "ui/win32/DataExchange.h"

CPinPropatyDlgWindow::CPinPropatyDlgWindow(CDesktop& desktop)
    : CPinPropatyDlg(desktop), CDialogBase(IDD_PIN_PROPERTY) {}

bool CPinPropatyDlgWindow::runModal() { return doModal(nullptr, toHwnd(m_hWndPin)) == IDOK; }

std::optional<LRESULT> CPinPropatyDlgWindow::onMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        m_spin.attach(item(IDC_TRANS_SPIN));
        OnInitDialog();
        return TRUE;
    }
    return std::nullopt;
}

void CPinPropatyDlgWindow::onOK() {
    switch (CPinPropatyDlg::OnOK()) {
        case Close::stay:
            break;
        case Close::ok:
            endDialog(IDOK);
            break;
        case Close::cancel:
            endDialog(IDCANCEL);
            break;
    }
}

void CPinPropatyDlgWindow::showTransparencyOn(bool on) { setCheck(hwnd(), IDC_TRANS_CONTROL, on ? 1 : 0); }

bool CPinPropatyDlgWindow::transparencyOnChecked() { return getCheck(hwnd(), IDC_TRANS_CONTROL) != 0; }

void CPinPropatyDlgWindow::setSpinner(int lower, int upper, int position) {
    m_spin.setRange32(lower, upper);
    m_spin.setPos32(position);
}

std::optional<int> CPinPropatyDlgWindow::spinnerPosition() { return m_spin.getPos(); }

void CPinPropatyDlgWindow::selectPercent() {
    // As the dialog's own focus moves go, which select an edit's text.
    SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_TRANS_PERCENT)), TRUE);
}
