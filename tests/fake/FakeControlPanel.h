// The control panel's own window as a scripted view: its timers run on the fake clock, the
// rows it was asked to show are kept.
#pragma once

#include "fake/FakeDesktop.h"
#include "fake/FakePinWindow.h"
#include "pins/ControlDlg.h"

#include <cstdint>
#include <map>
#include <vector>

class CFakeControlPanel : public CControlDlg {
public:
    // The panel's window is a top-level window of another program in the fake world, so that
    // only the "not the panel itself" test keeps it out of the window list.
    CFakeControlPanel(CFakeDesktop& desktop, CFakePinFactory& factory);

    // Fires every timer that falls due up to now + ms, in time order, moving the fake clock.
    void runFor(std::uint64_t ms);
    // Running timers: id -> period.
    std::map<int, unsigned> periods() const;

    WinHandle m_window;
    std::vector<PinListRow> rows;
    int refreshes = 0;
    bool windowDestroyed = false;

protected:
    WinHandle panelWindow() override { return m_window; }
    void startTimer(int id, unsigned ms) override { m_timers[id] = {ms, m_fake.nowMs() + ms}; }
    void killTimer(int id) override { m_timers.erase(id); }
    void showRows(const std::vector<PinListRow>& shown) override;
    void destroyPanelWindow() override;

private:
    struct Timer {
        unsigned period = 0;
        std::uint64_t due = 0;
    };
    CFakeDesktop& m_fake;
    std::map<int, Timer> m_timers;
};
