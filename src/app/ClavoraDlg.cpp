#include "app/ClavoraDlg.h"

#include "app/AppIds.h"
#include "desktop/Trace.h"
#include "pins/ControlDlg.h"
#include "resource.h"

PanelPoint mainPanelPosition(const Rect& frame, const Rect& window, const Rect& workArea) {
    // Integer division truncates towards zero, which is what keeps odd border widths in place.
    return {workArea.right - frame.width() + (frame.width() - window.width()) / 2,
            workArea.bottom - frame.height() + (frame.height() - window.height()) / 2};
}

PanelPoint centredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

CClavoraDlg::CClavoraDlg(CDesktop& desktop, const std::string& currentDirectory)
    : m_strIniPath(currentDirectory + "\\" + kIniFileName), m_desktop(desktop) {}

void CClavoraDlg::OnInitDialog() {
    prepareWindow();
    createControlPanel();
    controlDlg().startPinning(m_strIniPath);
    showControlPanel();
    AddTrayIcon();
    SetVisible(false);
    m_bComposition = queryComposition() ? 1 : 0;
    m_margins = kMainPanelGlass;
    applyGlassFrame();
    startTimer(kTrayTimerId, kTrayTimerPeriodMs);
}

void CClavoraDlg::AddTrayIcon() {
    while (!notifyTray(TrayOp::add)) {
        const std::uint32_t error = lastError();
        if (error != kErrorTimeout) {
            trace("通知領域にアイコンを登録できませんでした。 err=%d\n", static_cast<int>(error));
            return;
        }
        // A time-out does not say the icon is missing: it may have been added after all.
        if (notifyTray(TrayOp::modify)) return;
        pause(kTrayRetryPauseMs);
    }
}

void CClavoraDlg::onTimer(int id) {
    if (id != kTrayTimerId) return;
    if (!notifyTray(TrayOp::check)) AddTrayIcon();
}

void CClavoraDlg::onTaskbarCreated() { AddTrayIcon(); }

bool CClavoraDlg::onTrayNotify(std::uint32_t mouseMessage) {
    switch (mouseMessage) {
        case traymouse::kLButtonDown:
        case traymouse::kRButtonDown:
            return true;
        case traymouse::kLButtonDblClk:
            ShowMainPanel();
            return true;
        case traymouse::kRButtonUp:
            showTrayMenu();
            return true;
        default:
            return false;
    }
}

void CClavoraDlg::ShowMainPanel() {
    if (m_bShow == 0) {
        moveWindowTo(mainPanelPosition(visibleFrameRect(), windowRect(), m_desktop.workArea()));
        SetVisible(true);
    }
    if (isMinimised()) showWindow(ShowCommand::showNormal);
    bringToForeground();
}

void CClavoraDlg::SetVisible(bool show) {
    m_bShow = show ? 1 : 0;
    showWindow(show ? ShowCommand::show : ShowCommand::hide);
    if (show) showWindow(ShowCommand::showNormal);
}

std::uint32_t CClavoraDlg::adjustPosChangingFlags(std::uint32_t flags) const {
    return m_bShow == 1 ? (flags | kSwpShowWindow) : (flags & ~kSwpShowWindow);
}

void CClavoraDlg::onExitCommand() {
    SetVisible(false);
    sendEndSession();
}

void CClavoraDlg::onEndSession(std::uint64_t wParam, std::uint64_t lParam) {
    if (wParam != 0 || (lParam & kEndSessionLogoff) != 0) {
        // Everything is written before the answer: the system may end the process right after.
        controlDlg().endSession();
        endDialogOk();
    }
}

void CClavoraDlg::onDestroy() { controlDlg().DestroyWindow(); }

bool CClavoraDlg::onSysCommand(unsigned command) {
    if ((command & kSysCommandMask) != IDM_ABOUTBOX) return false;
    runAboutBox();
    return true;
}

void CClavoraDlg::onCompositionChanged() {
    m_bComposition = queryComposition() ? 1 : 0;
    applyGlassFrame();
}

void CClavoraDlg::applyGlassFrame() {
    if (m_bComposition) extendGlassFrame(m_margins);
    invalidateWindow();
}
