#include "app/ClavoraDlg.h"

#include "app/AppIds.h"
#include "base/Trace.h"
#include "resource.h"

PanelPoint mainPanelPosition(const Rect& frame, const Rect& window, const Rect& workArea) {
    // Integer division truncates towards zero, which is what keeps odd border widths in place.
    return {workArea.right - frame.width() + (frame.width() - window.width()) / 2,
            workArea.bottom - frame.height() + (frame.height() - window.height()) / 2};
}

PanelPoint centredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

std::uint32_t posChangingFlags(std::uint32_t flags, bool shown) {
    return shown ? (flags | kSwpShowWindow) : (flags & ~kSwpShowWindow);
}

void addTrayIcon(const TrayCall& call, const std::function<void(unsigned ms)>& pause) {
    while (const std::optional<std::uint32_t> error = call(TrayOp::add)) {
        if (*error != kErrorTimeout) {
            trace("通知領域にアイコンを登録できませんでした。 err=%d\n", static_cast<int>(*error));
            return;
        }
        // A time-out does not say the icon is missing: it may have been added after all.
        if (!call(TrayOp::modify)) return;
        pause(kTrayRetryPauseMs);
    }
}

TrayClick trayClick(std::uint32_t mouseMessage) {
    switch (mouseMessage) {
        case traymouse::kLButtonDown:
        case traymouse::kRButtonDown:
            return TrayClick::swallow;
        case traymouse::kLButtonDblClk:
            return TrayClick::showPanel;
        case traymouse::kRButtonUp:
            return TrayClick::showMenu;
        default:
            return TrayClick::ignore;
    }
}

bool isAboutCommand(unsigned command) { return (command & kSysCommandMask) == IDM_ABOUTBOX; }
