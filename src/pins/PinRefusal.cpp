#include "pins/PinRefusal.h"

#include "base/DesktopTypes.h"
#include "desktop/Desktop.h"

#include <array>
#include <span>

namespace {

// The base name of Clavora's own executable in upper case: none of its windows (panels,
// dialogs, pin windows) is ever pinned.
constexpr char kOwnExeName[] = "CLAVORA.EXE";
// The desktop's title.
constexpr char kDesktopTitle[] = "Program Manager";

using Test = PinRefusal (*)(CPinCandidate&);

PinRefusal ownPanel(CPinCandidate& w) { return w.isOwnPanel() ? PinRefusal::ownPanel : PinRefusal::none; }
PinRefusal hidden(CPinCandidate& w) {
    return (w.style() & style::kVisible) == 0 ? PinRefusal::hidden : PinRefusal::none;
}
PinRefusal maximised(CPinCandidate& w) {
    return (w.style() & style::kMaximize) != 0 ? PinRefusal::maximised : PinRefusal::none;
}
PinRefusal untitled(CPinCandidate& w) { return w.title().empty() ? PinRefusal::untitled : PinRefusal::none; }
PinRefusal desktop(CPinCandidate& w) {
    return w.title() == kDesktopTitle ? PinRefusal::desktop : PinRefusal::none;
}
PinRefusal unreadable(CPinCandidate& w) {
    return w.upperExeName().empty() ? PinRefusal::unreadableProcess : PinRefusal::none;
}
PinRefusal ownProgram(CPinCandidate& w) {
    return w.upperExeName() == kOwnExeName ? PinRefusal::ownProgram : PinRefusal::none;
}
PinRefusal frame(CPinCandidate& w) {
    const std::uint32_t bits = w.style();
    if ((bits & style::kSysMenu) == 0) return PinRefusal::noSystemMenu;
    return (bits & style::kDisabled) != 0 ? PinRefusal::disabled : PinRefusal::none;
}
PinRefusal offMonitors(CPinCandidate& w) {
    return w.liesOnMonitor() ? PinRefusal::none : PinRefusal::offMonitors;
}
PinRefusal elevated(CPinCandidate& w) { return w.runsElevated() ? PinRefusal::elevated : PinRefusal::none; }
// The shell cloaks the windows of every other virtual desktop; anything else cloaked is
// hidden for good, as far as a pin goes.
PinRefusal cloaked(CPinCandidate& w) {
    const std::uint32_t bits = w.cloak();
    return bits != 0 && (bits & cloak::kByShell) == 0 ? PinRefusal::cloaked : PinRefusal::none;
}
PinRefusal otherDesktop(CPinCandidate& w) {
    return (w.cloak() & cloak::kByShell) != 0 ? PinRefusal::otherDesktop : PinRefusal::none;
}

// The cloak is asked last: only windows that get that far cost the question.
constexpr std::array<Test, 10> kCycleTests{ownPanel,   hidden,     maximised, untitled,    elevated,
                                           unreadable, ownProgram, frame,     offMonitors, cloaked};
constexpr std::array<Test, 11> kHotKeyTests{hidden,     untitled,    desktop,     maximised,
                                            frame,      offMonitors, elevated,    unreadable,
                                            ownProgram, cloaked,     otherDesktop};

}  // namespace

PinRefusal pinRefusal(CPinCandidate& window, PinTestOrder order) {
    const std::span<const Test> tests = order == PinTestOrder::cycle ? std::span<const Test>(kCycleTests)
                                                                     : std::span<const Test>(kHotKeyTests);
    for (const Test test : tests) {
        if (const PinRefusal reason = test(window); reason != PinRefusal::none) return reason;
    }
    return PinRefusal::none;
}

const char* refusalName(PinRefusal reason) {
    switch (reason) {
        case PinRefusal::none:
            return "none";
        case PinRefusal::ownPanel:
            return "own panel";
        case PinRefusal::hidden:
            return "hidden";
        case PinRefusal::maximised:
            return "maximised";
        case PinRefusal::untitled:
            return "untitled";
        case PinRefusal::desktop:
            return "desktop";
        case PinRefusal::unreadableProcess:
            return "unreadable process";
        case PinRefusal::ownProgram:
            return "own program";
        case PinRefusal::noSystemMenu:
            return "no system menu";
        case PinRefusal::disabled:
            return "disabled";
        case PinRefusal::offMonitors:
            return "off every monitor";
        case PinRefusal::elevated:
            return "elevated";
        case PinRefusal::cloaked:
            return "cloaked";
        case PinRefusal::otherDesktop:
            return "on another desktop";
    }
    return "?";
}
