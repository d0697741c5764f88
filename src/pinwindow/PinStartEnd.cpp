// Putting a record's pin onto a window and taking it off again.
#include "desktop/Desktop.h"
#include "desktop/Trace.h"
#include "pins/PinController.h"
#include "pins/PinData.h"
#include "pinwindow/PinDlg.h"
#include "pinwindow/PinDlgFactory.h"

void CPinData::StartPin(CPinDlgFactory& factory, WinHandle hTarget) {
    if (m_pinned != 0) return;
    m_pinned = 1;
    m_hTarget = hTarget;
    trace("●●StartPin! title=%s\n", m_title.c_str());

    m_pPinDlg = factory.createPinDlg(hTarget);
    // EndPin copes with a record that is pinned without a window.
    if (!m_pPinDlg) return;

    // A window held where no monitor of today's desktop shows it would be lost to the user:
    // it stays where it is found, and its pin comes with it.
    if (m_rectTarget.width() != 0 && !m_pPinDlg->canHold(m_rectTarget)) m_rectTarget = m_rectWin = Rect{};
    if (m_rectWin.width() == 0) {
        const Rect base = m_rectTarget.width() != 0 ? m_rectTarget : factory.desktop().windowRect(hTarget);
        m_rectWin = m_pPinDlg->pinRectAt(base);
    }
    m_pPinDlg->movePin(m_rectWin);

    m_pPinDlg->m_rectTarget = m_rectTarget;
    m_pPinDlg->m_trans = m_trans;
    m_pPinDlg->m_zOrder = m_zOrder;
    m_pPinDlg->m_transFlag = m_transFlag;
    m_pPinDlg->SetTarget(hTarget);
    m_pPinDlg->showPin();
}

void CPinData::EndPin() {
    if (m_pinned != 1) return;
    m_pinned = 0;
    trace("EndPin! title=%s\n", m_title.c_str());
    if (!m_pPinDlg) {
        // A pin whose window could not be made: nothing to take back.
        m_hTarget = kNoWindow;
        return;
    }

    m_rectWin = m_pPinDlg->m_rectPin;
    m_rectTarget = m_pPinDlg->m_rectTarget;
    trace("■■m_rectWin.top=%d, m_rectWin.left=%d\n", m_rectWin.top, m_rectWin.left);
    m_zOrder = m_pPinDlg->m_zOrder;
    m_transFlag = m_pPinDlg->m_transFlag;
    m_trans = m_pPinDlg->m_trans;

    // The window deletes its object once it is gone; the record only forgets it.
    m_pPinDlg->Destroy();
    m_pPinDlg = nullptr;
    m_hTarget = kNoWindow;

    if (CPinController* controller = pinController()) controller->notifyUpdateWindow();
}
