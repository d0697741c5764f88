// Putting a record's pin onto a window and taking it off again.
#include "base/Trace.h"
#include "desktop/Desktop.h"
#include "pins/PinData.h"
#include "pinwindow/PinDlg.h"
#include "pinwindow/PinDlgFactory.h"

#include <tuple>

namespace {

// What a pin window keeps of its record while it is shown (where the target is held, its
// opacity, its Z order), in the same order for the window and for the record.
template <class Pin>
auto heldByPin(Pin& pin) {
    return std::tie(pin.m_rectTarget, pin.m_trans, pin.m_zOrder, pin.m_transFlag);
}

}  // namespace

void CPinData::StartPin(CPinDlgFactory& factory, WinHandle hTarget) {
    if (m_pinned != 0) return;
    m_pinned = 1;
    m_hTarget = hTarget;
    trace("●●StartPin! title=%s\n", m_title.c_str());

    CPinDlg* const pinDlg = factory.createPinDlg(hTarget);
    if (!pinDlg) {
        // Not pinned, so the next cycle tries again; a record left pinned without a window
        // would never be pinned again and would refuse every edit.
        trace("StartPin: no pin window\n");
        m_pinned = 0;
        m_hTarget = kNoWindow;
        return;
    }
    m_hPinWnd = pinDlg->pinHandle();

    // A window held where no monitor of today's desktop shows it would be lost to the user:
    // it stays where it is found. Its pin goes to its corner, wherever an earlier pin stood.
    if (m_rectTarget.width() != 0 && !pinDlg->canHold(m_rectTarget)) m_rectTarget = Rect{};
    heldByPin(*pinDlg) = heldByPin(*this);
    pinDlg->SetTarget(hTarget);
    if (pinDlg->targetRefuses()) {
        // Not kept on a window it cannot hold, nor tried on it again.
        trace("StartPin: the window refuses\n");
        pinDlg->Destroy();
        m_pinned = 0;
        m_hTarget = kNoWindow;
        m_hPinWnd = kNoWindow;
        m_refusingTarget = hTarget;
        return;
    }
    pinDlg->showPin();
}

CPinDlg* CPinData::pinDlg() const { return m_pinned == 1 ? CPinDlg::find(m_hPinWnd) : nullptr; }

void CPinData::takeFromPinWindow(const CPinDlg& pin) { heldByPin(*this) = heldByPin(pin); }

void CPinData::EndPin(CPinDlgFactory& factory) {
    if (m_pinned != 1) return;
    m_pinned = 0;
    trace("EndPin! title=%s\n", m_title.c_str());
    // A pin window that went by itself leaves nothing to take back.
    if (CPinDlg* const pinDlg = CPinDlg::find(m_hPinWnd)) {
        takeFromPinWindow(*pinDlg);
        const Rect pinPlace = pinDlg->pinRect();
        trace("■■m_rectWin.top=%d, m_rectWin.left=%d\n", pinPlace.top, pinPlace.left);
        // The window deletes its object once it is gone; the record only forgets it.
        pinDlg->Destroy();
    }
    m_hPinWnd = kNoWindow;
    m_hTarget = kNoWindow;

    if (CPinController* controller = factory.controller()) controller->notifyUpdateWindow();
}
