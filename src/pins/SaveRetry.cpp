#include "pins/SaveRetry.h"

#include <algorithm>

CSaveRetry::Next CSaveRetry::failed() {
    ++m_failures;
    unsigned delay = kSaveRetryFirstMs;
    for (int i = 1; i < m_failures && delay < kSaveRetryMaxMs; ++i) delay *= 2;
    const bool tell = !m_told && m_failures >= kSaveFailuresTold;
    m_told = m_told || tell;
    return {std::min(delay, kSaveRetryMaxMs), tell};
}

bool CSaveRetry::succeeded() {
    const bool told = m_told;
    m_failures = 0;
    m_told = false;
    return told;
}
