// The transparency dialog of a pin: transparency on or off and the opacity in percent. It
// only edits the two values; the pin window applies them after OK.
#pragma once

#include "base/DesktopTypes.h"

#include <optional>

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
    enum class Close { stay, ok, cancel };
    // OK: takes the percentage and the check box. A percentage typed outside 20 ... 100 (or
    // no number) is refused with a message, and the dialog stays with the field selected:
    // taking the spinner's previous value instead would apply what the user did not ask for.
    // cancel: the pin window it was opened for has gone meanwhile, and nothing may be handed
    // back to it.
    [[nodiscard]] Close OnOK();

    int m_bControl = 0;
    int m_bHasOwner = 0;
    WinHandle m_hWndPin = kNoWindow;
    int m_nPercent = 70;

protected:
    virtual void showTransparencyOn(bool on) = 0;
    virtual bool transparencyOnChecked() = 0;
    virtual void setSpinner(int lower, int upper, int position) = 0;
    // The percentage the edit shows, nullopt when it is no number within the spinner's range.
    virtual std::optional<int> spinnerPosition() = 0;
    // Focus on the percentage, its text selected for typing over.
    virtual void selectPercent() = 0;

private:
    CDesktop& m_desktop;
};
