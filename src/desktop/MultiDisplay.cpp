#include "desktop/MultiDisplay.h"

#include "desktop/Desktop.h"
#include "desktop/Trace.h"

namespace {

constexpr std::uint32_t kPrimaryMonitor = 1;

CMultiDisplay* g_multiDisplay = nullptr;

}  // namespace

CMultiDisplay* CMultiDisplay::GetMultiDisplay() {
    if (!g_multiDisplay) g_multiDisplay = new CMultiDisplay;
    return g_multiDisplay;
}

void CMultiDisplay::ReleaseMultiDisplay() {
    delete g_multiDisplay;
    g_multiDisplay = nullptr;
}

void CMultiDisplay::EnumMonitors(CDesktop& desktop) {
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
