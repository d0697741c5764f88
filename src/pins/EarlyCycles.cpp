#include "pins/EarlyCycles.h"

#include <algorithm>
#include <utility>

std::optional<unsigned> CEarlyCycles::onEvent(WindowEvent event, std::uint64_t nowMs) {
    if (!m_active) return std::nullopt;
    if (event == WindowEvent::created) m_created = true;
    if (m_running) {
        m_missed = true;
        return std::nullopt;
    }
    // The rest of a burst finds the early cycle armed; a window shown before the look again
    // after its creation brings that look forward.
    const unsigned delay = delayAt(nowMs);
    if (m_armed && nowMs + delay >= m_dueMs) return std::nullopt;
    return arm(nowMs, delay);
}

unsigned CEarlyCycles::arm(std::uint64_t nowMs, unsigned delay) {
    m_armed = true;
    m_dueMs = nowMs + delay;
    return delay;
}

void CEarlyCycles::cycleStarts() {
    m_armed = false;
    m_running = true;
    m_retryAfter = m_created;
    m_created = false;
}

std::optional<unsigned> CEarlyCycles::cycleEnds(std::uint64_t nowMs) {
    m_running = false;
    m_lastEndMs = nowMs;
    const bool missed = std::exchange(m_missed, false);
    const bool retry = std::exchange(m_retryAfter, false);
    if (!m_active || (!missed && !retry)) return std::nullopt;
    return arm(nowMs, retry ? std::max(kCreationRetryMs, delayAt(nowMs)) : delayAt(nowMs));
}

unsigned CEarlyCycles::delayAt(std::uint64_t nowMs) const {
    unsigned delay = kEarlyCycleDelayMs;
    if (m_lastEndMs && *m_lastEndMs + kEarlyCycleGapMs > nowMs) {
        delay = std::max(delay, static_cast<unsigned>(*m_lastEndMs + kEarlyCycleGapMs - nowMs));
    }
    return delay;
}
