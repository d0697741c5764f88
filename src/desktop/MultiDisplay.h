// The monitors that were present when the program started. Start-up fills the one instance
// once; afterwards the only question asked of it is how many monitors there are, which the
// pin window uses to decide whether its position must lie on the desktop.
#pragma once

#include "desktop/DesktopTypes.h"

#include <vector>

class CDesktop;

class CMultiDisplay {
public:
    virtual ~CMultiDisplay() = default;

    // The one instance, created empty (count 0) on the first call; never null.
    static CMultiDisplay* GetMultiDisplay();
    // Destroys the instance if there is one; the next GetMultiDisplay starts empty again.
    static void ReleaseMultiDisplay();

    // Records every monitor the desktop enumerates, the primary first. Called once at start-up:
    // monitors added or removed later are not seen until the next start.
    void EnumMonitors(CDesktop& desktop);
    // The number of monitors the enumeration reported; 0 before it ran.
    int GetMonitorCount() const { return m_monitorCount; }
    const std::vector<MonitorRecord>& monitors() const { return m_monitors; }

private:
    CMultiDisplay() = default;
    void addMonitor(const MonitorRecord& monitor);

    int m_monitorCount = 0;
    std::vector<MonitorRecord> m_monitors;
};
