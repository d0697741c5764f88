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

void addTrayIcon(const TrayCall& call) {
    // Each time-out has waited on the shell already. Nothing sleeps here: the thread holds the
    // pins, answers the system at logoff and runs the hotkey field's keyboard hook, which the
    // system removes when it waits; the tray timer comes back a second later.
    std::optional<std::uint32_t> error;
    for (int attempt = 0; attempt < kTrayAddAttempts; ++attempt) {
        error = call(TrayOp::add);
        if (!error) return;
        if (*error != kErrorTimeout) break;
        // A time-out does not say the icon is missing: it may have been added after all.
        if (!call(TrayOp::modify)) return;
    }
    trace("通知領域にアイコンを登録できませんでした。 err=%d\n", static_cast<int>(*error));
}

bool drawsGlass(OsVersion version, bool compositionOn) {
    // Composition draws glass on 6.0 and 6.1 only. Later systems, which tell a program without
    // their names in its manifest 6.2, compose always and draw the extended frame in the
    // frame's colour, over which the black control backgrounds would show as black.
    return compositionOn && version.major == 6 && version.minor <= 1;
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
