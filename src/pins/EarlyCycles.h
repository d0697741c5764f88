// When the pinning cycle runs ahead of its period. The system tells of windows that appear,
// show or change their title; a window a record names should get its pin at once, not at the
// next 500 ms cycle, which stays the safety net for everything the system does not tell.
//
// A burst of events (a program opening fifty windows) costs one early cycle: the first event
// arms it, the others find it armed (or bring it forward, never later). A creation asks for one
// more cycle shortly after, since a new window is often shown or titled only after the event. An
// event that arrives while a cycle runs (in a nested loop inside it) is kept for after its end:
// cycles never overlap.
#pragma once

#include "desktop/Desktop.h"

#include <cstdint>
#include <optional>

// The early cycle waits this long after the first event of a burst, so that the window has
// been shown and the rest of the burst has arrived.
constexpr unsigned kEarlyCycleDelayMs = 30;
// At least this long from the end of the last cycle to an early one: a program that renames its
// window all the time cannot keep the cycle running.
constexpr unsigned kEarlyCycleGapMs = 100;
// The look again after a creation, from the end of the early cycle.
constexpr unsigned kCreationRetryMs = 150;

class CEarlyCycles {
public:
    // An event of the system at nowMs: the delay to arm (or re-arm) the early cycle with, or
    // nullopt when the one armed comes as soon, a cycle runs, or pinning is not on.
    std::optional<unsigned> onEvent(WindowEvent event, std::uint64_t nowMs);
    // A cycle begins, early or not: it looks at everything, so the armed early cycle is spent.
    void cycleStarts();
    // A cycle has ended at nowMs: the delay to arm the early cycle with (a look again after a
    // creation, or events that came during the cycle), or nullopt.
    std::optional<unsigned> cycleEnds(std::uint64_t nowMs);
    // Whether events are taken: from the start of pinning to the end of the session.
    void setActive(bool active) { m_active = active; }

private:
    unsigned delayAt(std::uint64_t nowMs) const;
    unsigned arm(std::uint64_t nowMs, unsigned delay);

    bool m_active = false;
    bool m_armed = false;
    std::uint64_t m_dueMs = 0;
    bool m_running = false;
    // Something happened while the cycle ran, which it may have missed.
    bool m_missed = false;
    // A window was created since the last cycle began: the next cycle is looked at again.
    bool m_created = false;
    // The cycle running now follows a creation.
    bool m_retryAfter = false;
    std::optional<std::uint64_t> m_lastEndMs;
};
