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
    // Visible to the system but kept off the screen by its program (a suspended Store app's
    // frame) or the shell: a pin would stand over nothing.
    cloaked,
    // On another virtual desktop (cloaked by the shell). The cycle lists it, so that a pin it
    // has stays while the user works elsewhere, but starts none on it.
    otherDesktop,
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
    // Its cloak bits (cloak::k…); 0 when it is not cloaked.
    virtual std::uint32_t cloak() = 0;

protected:
    ~CPinCandidate() = default;
};

// The cycle tests cheap facts first and never the desktop's title; the hotkey tests the
// title before the style, and reads the process last. Both tell an elevated program before
// an unreadable one: the names of a program with higher rights may not be readable, and its
// user is owed the notice. Only the hotkey refuses a window on another virtual desktop.
enum class PinTestOrder { cycle, hotKey };

PinRefusal pinRefusal(CPinCandidate& window, PinTestOrder order);
// The reason as the debug trace names it.
const char* refusalName(PinRefusal reason);
