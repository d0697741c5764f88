// The transparency dialog of a pin: transparency on or off and the opacity in percent. It
// only edits the two values; the pin window applies them after OK.
#pragma once

#include "base/DesktopTypes.h"

class CDesktop;

// The opacity range the spinner offers; below 20 % a window is hard to find again.
constexpr int kMinTransPercent = 20;
constexpr int kMaxTransPercent = 100;

class CPinPropatyDlg {
public:
    explicit CPinPropatyDlg(CDesktop& desktop) : m_desktop(desktop) {}
    virtual ~CPinPropatyDlg() = default;

    // Runs the dialog modally; true when it ended with OK (the members then hold the result).
    virtual bool runModal() = 0;

    // The check box shows m_bControl; the spinner offers 20 ... 100 and shows m_nPercent,
    // brought into that range.
    void OnInitDialog();
    // OK: takes the spinner's position and the check box. Returns false when the dialog must
    // end as if cancelled, because the pin window it was opened for has gone meanwhile and
    // nothing may be handed back to it.
    [[nodiscard]] bool OnOK();

    int m_bControl = 0;
    int m_bHasOwner = 0;
    WinHandle m_hWndPin = kNoWindow;
    int m_nPercent = 70;

protected:
    virtual void showTransparencyOn(bool on) = 0;
    virtual bool transparencyOnChecked() = 0;
    virtual void setSpinner(int lower, int upper, int position) = 0;
    // The spinner's current position, always within its range.
    virtual int spinnerPosition() = 0;

private:
    CDesktop& m_desktop;
};
