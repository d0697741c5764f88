// How Clavora found the windows it pinned, so that it can leave them so when it lets them go
// for good (at exit, or when their record goes). A pin that merely ends may come back and
// keeps the Z order it gave; the band a window was in before its first pin is what it gets
// back in the end.
#pragma once

#include "base/DesktopTypes.h"

#include <cstdint>
#include <vector>

class CDesktop;

class CFoundWindows {
public:
    // Right before record's pin goes onto h: the first time, h's band as it is now is noted;
    // afterwards h is record's to give back. Windows that have gone are forgotten here.
    void note(CDesktop& desktop, WinHandle h, std::uint64_t recordId);
    // Puts every window of record back into the band it was found in, and forgets them.
    void giveBack(CDesktop& desktop, std::uint64_t recordId);
    // The same for every window.
    void giveBackAll(CDesktop& desktop);

private:
    struct Found {
        WinHandle window;
        bool topmost;
        std::uint64_t recordId;
    };
    void giveBack(CDesktop& desktop, const Found& found);

    std::vector<Found> m_found;
};
