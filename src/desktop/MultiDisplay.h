// The monitors of the desktop as it is now. Start-up fills the one instance, and the main
// window fills it again whenever the display setup or the work area changes. The pin window
// asks how many monitors there are, to decide whether its position must lie on the desktop,
// and whether a place for its target leaves that window within the user's reach.
#pragma once

#include "base/DesktopTypes.h"

#include <vector>

class CDesktop;

// Whether r lies at least partly on one of monitors. An empty rectangle, or one turned inside
// out, counts as its top-left pixel, as the system places it.
bool rectOnAnyMonitor(const std::vector<MonitorRecord>& monitors, const Rect& r);

class CMultiDisplay {
public:
    virtual ~CMultiDisplay() = default;

    // The one instance, created empty (count 0) on the first call; never null.
    static CMultiDisplay* GetMultiDisplay();
    // Destroys the instance if there is one; the next GetMultiDisplay starts empty again.
    static void ReleaseMultiDisplay();

    // Records every monitor the desktop enumerates, the primary first, in place of those
    // recorded before.
    void EnumMonitors(CDesktop& desktop);
    // The number of monitors the enumeration reported; 0 before it ran.
    int GetMonitorCount() const { return m_monitorCount; }
    const std::vector<MonitorRecord>& monitors() const { return m_monitors; }
    // Moves on each time the monitors are read: what was learnt of a window on the monitors of
    // an earlier reading may no longer hold.
    unsigned readings() const { return m_readings; }

    // A window's caption strip: its top edge, grip wide and gripHeight high (all of the window
    // where it is smaller), where its caption or its pin can be taken hold of.
    struct Grip {
        int width = 0;
        int height = 0;
    };
    // Whether a window at r stays within reach: at least grip.width pixels of its caption strip
    // lie on the monitors, each of them with the strip's whole height on one monitor. Before
    // the monitors are known every place counts as reachable.
    bool keepsGrip(const Rect& r, Grip grip) const;
    // Where a window dragged from `from` towards `to` stops: at `to` when that keeps its grip;
    // otherwise it goes as far as it can, first across, then up or down, so that it slides
    // along the edge it meets. A window already out of reach goes wherever it is taken.
    Rect dragStop(const Rect& from, const Rect& to, Grip grip) const;
    // The monitor that shows the point (x, y), or nullptr.
    const MonitorRecord* monitorAt(int x, int y) const;
    // r moved onto the monitor that shows the point (x, y), as far as it fits there; r as it
    // is when no monitor shows that point.
    Rect keptOnMonitorAt(const Rect& r, int x, int y) const;

private:
    CMultiDisplay() = default;
    void addMonitor(const MonitorRecord& monitor);

    int m_monitorCount = 0;
    unsigned m_readings = 0;
    std::vector<MonitorRecord> m_monitors;
};
