#include "pinwindow/PinPropatyDlg.h"

#include "desktop/Desktop.h"

#include <algorithm>

void CPinPropatyDlg::OnInitDialog() {
    showTransparencyOn(m_bControl != 0);
    setSpinner(kMinTransPercent, kMaxTransPercent,
               std::clamp(m_nPercent, kMinTransPercent, kMaxTransPercent));
}

bool CPinPropatyDlg::OnOK() {
    // The spinner's own position, not the edit's text: it is always a number in range.
    m_nPercent = spinnerPosition();
    if (m_bHasOwner == 0 || m_desktop.isWindow(m_hWndPin)) {
        m_bControl = transparencyOnChecked() ? 1 : 0;
        return true;
    }
    return false;
}
