#include "fake/FakeControlPanel.h"

#include <algorithm>

CFakeControlPanel::CFakeControlPanel(CFakeDesktop& desktop, CFakePinFactory& factory)
    : CControlDlg(desktop, factory, icons), m_fake(desktop) {
    m_window = desktop.addAppWindow("Panel", "other.exe", "C:\\other.exe");
}

void CFakeControlPanel::runFor(std::uint64_t ms) {
    const std::uint64_t end = m_fake.nowMs() + ms;
    while (true) {
        const auto next =
            std::min_element(m_timers.begin(), m_timers.end(),
                             [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
        if (next == m_timers.end() || next->second.due > end) break;
        const int id = next->first;
        m_fake.advance(next->second.due - m_fake.nowMs());
        // A window timer fires again one period later unless its handler sets it anew.
        next->second.due += next->second.period;
        onTimer(id);
    }
    m_fake.advance(end - m_fake.nowMs());
}

std::map<int, unsigned> CFakeControlPanel::periods() const {
    std::map<int, unsigned> out;
    for (const auto& [id, timer] : m_timers) out[id] = timer.period;
    return out;
}

void CFakeControlPanel::showRows(const std::vector<PinListRow>& shown) {
    rows = shown;
    ++refreshes;
}

void CFakeControlPanel::destroyPanelWindow() {
    m_timers.clear();
    windowDestroyed = true;
}

bool CFakeControlPanel::runSizeDialog(CPinSettings& settings) {
    sizeDialogRuns.push_back(settings);
    return sizeDialogUser && sizeDialogUser(settings);
}

bool CFakeControlPanel::runMatchConditionDialog(CPinData& record, bool fromPin, WinHandle pinWindow) {
    ++matchDialogRuns;
    return matchDialogUser && matchDialogUser(record, fromPin, pinWindow);
}
