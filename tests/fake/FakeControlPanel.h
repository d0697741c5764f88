// The control panel's own window as a scripted view: its timers run on the fake clock, the
// rows it was asked to show are kept, the list's selection and the property settings
// dialog's user are scripted.
#pragma once

#include "fake/FakeDesktop.h"
#include "fake/FakeIconStore.h"
#include "fake/FakePinWindow.h"
#include "pins/ControlDlg.h"

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// How a row reads in a failed expectation.
inline void PrintTo(const PinListRow& row, std::ostream* out) {
    *out << "{" << row.programName << ", " << row.title << ", image " << row.image
         << (row.pinned ? ", pinned}" : "}");
}

class CFakeControlPanel : public CControlDlg {
public:
    // The panel's window is a top-level window of another program in the fake world, so that
    // only the "not the panel itself" test keeps it out of the window list. Clavora.ini is
    // read and written in files.
    CFakeControlPanel(CFakeDesktop& desktop, CFakePinFactory& factory,
                      CFileSystem& files = systemFileSystem());

    // Fires every timer of the fake world that falls due up to now + ms (the pins' too).
    void runFor(std::uint64_t ms) { m_fake.runFor(ms); }
    // The panel's running timers: id -> period.
    std::map<int, unsigned> periods() const;

    // Plays the user of the property settings dialog: changes the settings it is shown and
    // answers true for OK. None: the user cancels.
    using SizeDialogUser = std::function<bool(CPinSettings&)>;
    // Plays the user of the match condition dialog: edits the record it is given (while the
    // panel's timers may run on) and answers true for OK. None: the user cancels.
    using MatchDialogUser = std::function<bool(CPinData& record, bool fromPin, WinHandle pinWindow)>;

    // The list's image list. The base takes a reference before this member is built and uses
    // it only once the panel is complete.
    CFakeIconStore icons;
    WinHandle m_window;
    std::vector<PinListRow> rows;
    int selection = -1;
    SizeDialogUser sizeDialogUser;
    // What the property settings dialog was handed, once per run.
    std::vector<CPinSettings> sizeDialogRuns;
    MatchDialogUser matchDialogUser;
    int matchDialogRuns = 0;
    int refreshes = 0;
    // The notices given, in order, while the tray icon is there to give them.
    std::vector<std::u8string> told;
    bool trayIconShown = true;
    bool windowDestroyed = false;

protected:
    WinHandle panelWindow() override { return m_window; }
    void startTimer(int id, unsigned ms) override;
    void killTimer(int id) override { m_fake.killTimer(m_window, static_cast<unsigned>(id)); }
    std::uint64_t nowMs() override { return m_fake.nowMs(); }
    void showRows(const std::vector<PinListRow>& shown, int selected) override;
    void destroyPanelWindow() override;
    bool tellUser(std::u8string_view text) override {
        if (trayIconShown) told.emplace_back(text);
        return trayIconShown;
    }
    int selectionMark() override { return selection; }
    bool runSizeDialog(CPinSettings& settings) override;
    bool runMatchConditionDialog(CPinData& record, bool fromPin, WinHandle pinWindow) override;

private:
    CFakeDesktop& m_fake;
};
