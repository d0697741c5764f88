#include "pinwindow/win32/PinPropatyDlgWindow.h"

#include "resource.h"
#include "ui/win32/DataExchange.h"

CPinPropatyDlgWindow::CPinPropatyDlgWindow(CDesktop& desktop)
    : CPinPropatyDlg(desktop), CDialogBase(IDD_PIN_PROPERTY) {}

bool CPinPropatyDlgWindow::runModal() { return doModal(nullptr) == IDOK; }

std::optional<LRESULT> CPinPropatyDlgWindow::onMessage(UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        m_spin.attach(item(IDC_TRANS_SPIN));
        OnInitDialog();
        return TRUE;
    }
    return std::nullopt;
}

void CPinPropatyDlgWindow::onOK() { endDialog(CPinPropatyDlg::OnOK() ? IDOK : IDCANCEL); }

void CPinPropatyDlgWindow::showTransparencyOn(bool on) { setCheck(hwnd(), IDC_TRANS_CONTROL, on ? 1 : 0); }

bool CPinPropatyDlgWindow::transparencyOnChecked() { return getCheck(hwnd(), IDC_TRANS_CONTROL) != 0; }

void CPinPropatyDlgWindow::setSpinner(int lower, int upper, int position) {
    m_spin.setRange32(lower, upper);
    m_spin.setPos32(position);
}

int CPinPropatyDlgWindow::spinnerPosition() { return m_spin.getPos(); }
