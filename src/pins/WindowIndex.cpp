#include "pins/WindowIndex.h"

void CWindowIndex::build(const std::vector<CWinInf>& windows) {
    ++m_build;
    m_next.assign(windows.size(), npos);
    // From the last window up, so that each program's chain runs in list order.
    for (std::size_t i = windows.size(); i-- > 0;) {
        Program& program = m_first[windows[i].m_exeName];
        if (program.build == m_build) m_next[i] = program.first;
        program.first = i;
        program.build = m_build;
    }
    std::erase_if(m_first, [this](const auto& entry) { return entry.second.build != m_build; });
}

std::size_t CWindowIndex::first(const std::string& exeName) const {
    const auto it = m_first.find(exeName);
    return it == m_first.end() ? npos : it->second.first;
}
