// Whether a window may take a pin and, when not, why: one decision for the pinning cycle and
// the hotkey, each asking in the order it needs.
#pragma once

#include <cstdint>
#include <string>

enum class PinRefusal {
    none,
    ownPanel,
    hidden,
    maximised,
    untitled,
    desktop,
    unreadableProcess,
    ownProgram,
    noSystemMenu,
    disabled,
    offMonitors,
    // Runs with higher rights than Clavora, which may then neither move, restyle nor reorder it.
    elevated,
};

// What the decision asks of one window. Each question is asked at most once, and only while
// every earlier test passed: the cycle answers from what it keeps between cycles, the hotkey
// asks the desktop.
class CPinCandidate {
public:
    virtual bool isOwnPanel() = 0;
    // The style word (visible, maximised, system menu and disabled bits).
    virtual std::uint32_t style() = 0;
    virtual const std::string& title() = 0;
    // The base name of the owning process's executable in upper case; "" when unreadable.
    virtual const std::string& upperExeName() = 0;
    // The window has a size and lies at least partly on a monitor.
    virtual bool liesOnMonitor() = 0;
    // Its program runs with higher rights than Clavora.
    virtual bool runsElevated() = 0;

protected:
    ~CPinCandidate() = default;
};

// The cycle tests cheap facts first and never the desktop's title; the hotkey tests the
// title before the style, and reads the process last.
enum class PinTestOrder { cycle, hotKey };

PinRefusal pinRefusal(CPinCandidate& window, PinTestOrder order);
// The reason as the debug trace names it.
const char* refusalName(PinRefusal reason);
