#include "desktop/MultiDisplay.h"

#include "base/Trace.h"
#include "desktop/Desktop.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint32_t kPrimaryMonitor = 1;

CMultiDisplay* g_multiDisplay = nullptr;

Rect shifted(const Rect& r, int dx, int dy) {
    return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The largest step from 0 towards full for which keeps holds, knowing that it holds for 0 and
// that a window moving in a straight line leaves the monitors once and stays off them.
template <class Keeps>
int furthestStep(int full, Keeps keeps) {
    if (keeps(full)) return full;
    int inside = 0;
    int outside = full;
    while (std::abs(outside - inside) > 1) {
        const int middle = inside + (outside - inside) / 2;
        (keeps(middle) ? inside : outside) = middle;
    }
    return inside;
}

}  // namespace

bool rectOnAnyMonitor(const std::vector<MonitorRecord>& monitors, const Rect& r) {
    const bool empty = r.width() <= 0 || r.height() <= 0;
    const Rect area = empty ? Rect{r.left, r.top, r.left + 1, r.top + 1} : r;
    return std::any_of(monitors.begin(), monitors.end(),
                       [&area](const MonitorRecord& m) { return intersects(m.monitor, area); });
}

CMultiDisplay* CMultiDisplay::GetMultiDisplay() {
    if (!g_multiDisplay) g_multiDisplay = new CMultiDisplay;
    return g_multiDisplay;
}

void CMultiDisplay::ReleaseMultiDisplay() {
    delete g_multiDisplay;
    g_multiDisplay = nullptr;
}

void CMultiDisplay::EnumMonitors(CDesktop& desktop) {
    ++m_readings;
    m_monitorCount = 0;
    m_monitors.clear();
    for (const MonitorRecord& monitor : desktop.enumerateMonitors()) addMonitor(monitor);
}

void CMultiDisplay::addMonitor(const MonitorRecord& monitor) {
    // A monitor whose record could not be read still counts.
    ++m_monitorCount;
    if (monitor.flags == kPrimaryMonitor) {
        m_monitors.insert(m_monitors.begin(), monitor);
    } else {
        m_monitors.push_back(monitor);
    }
    trace("rcMonitor top=%d, left=%d, bottom=%d, right=%d\n", monitor.monitor.top, monitor.monitor.left,
          monitor.monitor.bottom, monitor.monitor.right);
    trace("rcWork top=%d, left=%d, bottom=%d, right=%d\n", monitor.work.top, monitor.work.left,
          monitor.work.bottom, monitor.work.right);
    trace("Flag = %d\n", static_cast<int>(monitor.flags));
    trace("rcMonitor top=%d, left=%d, bottom=%d, right=%d\n", monitor.enumRect.top, monitor.enumRect.left,
          monitor.enumRect.bottom, monitor.enumRect.right);
}

bool CMultiDisplay::keepsGrip(const Rect& r, Grip grip) const {
    if (m_monitors.empty()) return true;
    const int stripBottom = r.top + std::max(1, std::min(grip.height, r.height()));
    // The monitors of a desktop do not overlap, so the pieces of the strip on each add up.
    std::int64_t onMonitors = 0;
    for (const MonitorRecord& monitor : m_monitors) {
        const Rect& m = monitor.monitor;
        if (r.top < m.top || stripBottom > m.bottom) continue;
        onMonitors += std::max(0, std::min(r.right, m.right) - std::max(r.left, m.left));
    }
    return onMonitors > 0 && onMonitors >= std::min(grip.width, r.width());
}

Rect CMultiDisplay::dragStop(const Rect& from, const Rect& to, Grip grip) const {
    if (keepsGrip(to, grip) || !keepsGrip(from, grip)) return to;
    const int dx =
        furthestStep(to.left - from.left, [&](int x) { return keepsGrip(shifted(from, x, 0), grip); });
    const Rect across = shifted(from, dx, 0);
    const int dy =
        furthestStep(to.top - from.top, [&](int y) { return keepsGrip(shifted(across, 0, y), grip); });
    return shifted(across, 0, dy);
}

const MonitorRecord* CMultiDisplay::monitorAt(int x, int y) const {
    const auto shows = [x, y](const MonitorRecord& monitor) {
        const Rect& m = monitor.monitor;
        return x >= m.left && x < m.right && y >= m.top && y < m.bottom;
    };
    const auto it = std::find_if(m_monitors.begin(), m_monitors.end(), shows);
    return it == m_monitors.end() ? nullptr : &*it;
}

Rect CMultiDisplay::keptOnMonitorAt(const Rect& r, int x, int y) const {
    const MonitorRecord* monitor = monitorAt(x, y);
    return monitor ? movedInside(r, monitor->monitor) : r;
}
