#include "pinwindow/PinPropatyDlg.h"

#include "desktop/Desktop.h"

#include <algorithm>

namespace {

constexpr char8_t kPercentOutOfRange[] = u8"透明度は20から100までの数値で指定してください.";

}  // namespace

void CPinPropatyDlg::OnInitDialog() {
    showTransparencyOn(m_bControl != 0);
    setSpinner(kMinTransPercent, kMaxTransPercent,
               std::clamp(m_nPercent, kMinTransPercent, kMaxTransPercent));
}

CPinPropatyDlg::Close CPinPropatyDlg::OnOK() {
    const std::optional<int> percent = spinnerPosition();
    if (!percent) {
        (void)m_desktop.appMessageBox(kPercentOutOfRange, MsgButtons::ok);
        selectPercent();
        return Close::stay;
    }
    m_nPercent = *percent;
    if (m_bHasOwner == 0 || m_desktop.isWindow(m_hWndPin)) {
        m_bControl = transparencyOnChecked() ? 1 : 0;
        return Close::ok;
    }
    return Close::cancel;
}
