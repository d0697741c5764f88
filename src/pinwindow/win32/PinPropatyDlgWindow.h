// The Win32 transparency dialog: template 136, the check box and the up-down control.
#pragma once

#include "pinwindow/PinPropatyDlg.h"
#include "ui/win32/Controls.h"
#include "ui/win32/Dialog.h"

class CPinPropatyDlgWindow : public CPinPropatyDlg, public CDialogBase {
public:
    explicit CPinPropatyDlgWindow(CDesktop& desktop);

    // Without an owner, so that the dialog outlives a pin window that ends while it is open.
    bool runModal() override;

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onOK() override;

    void showTransparencyOn(bool on) override;
    bool transparencyOnChecked() override;
    void setSpinner(int lower, int upper, int position) override;
    std::optional<int> spinnerPosition() override;
    void selectPercent() override;

private:
    CUpDown m_spin;
};
