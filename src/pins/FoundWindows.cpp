#include "pins/FoundWindows.h"

#include "desktop/Desktop.h"

#include <algorithm>

void CFoundWindows::note(CDesktop& desktop, WinHandle h, std::uint64_t recordId) {
    std::erase_if(m_found, [&desktop](const Found& found) { return !desktop.isWindow(found.window); });
    const auto it =
        std::find_if(m_found.begin(), m_found.end(), [h](const Found& found) { return found.window == h; });
    if (it != m_found.end()) {
        // Another record's pin may have put it into the topmost band: the band it had before
        // any pin stays the one to give back.
        it->recordId = recordId;
        return;
    }
    m_found.push_back({h, (desktop.exStyle(h) & style::kExTopmost) != 0, recordId});
}

void CFoundWindows::giveBack(CDesktop& desktop, const Found& found) {
    if (!desktop.isWindow(found.window)) return;
    const bool topmost = (desktop.exStyle(found.window) & style::kExTopmost) != 0;
    if (topmost != found.topmost) desktop.setTopmost(found.window, found.topmost, Activation::none);
}

void CFoundWindows::giveBack(CDesktop& desktop, std::uint64_t recordId) {
    std::erase_if(m_found, [&](const Found& found) {
        if (found.recordId != recordId) return false;
        giveBack(desktop, found);
        return true;
    });
}

void CFoundWindows::giveBackAll(CDesktop& desktop) {
    for (const Found& found : m_found) giveBack(desktop, found);
    m_found.clear();
}
