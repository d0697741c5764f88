#include "fake/FakeControlPanel.h"

#include <algorithm>

CFakeControlPanel::CFakeControlPanel(CFakeDesktop& desktop, CFakePinFactory& factory, CFileSystem& files)
    : CControlDlg(desktop, factory, icons, files), m_fake(desktop) {
    m_window = desktop.addAppWindow("Panel", "other.exe", "C:\\other.exe");
}

void CFakeControlPanel::startTimer(int id, unsigned ms) {
    m_fake.setTimer(m_window, static_cast<unsigned>(id), ms, [this, id] { onTimer(id); });
}

std::map<int, unsigned> CFakeControlPanel::periods() const {
    std::map<int, unsigned> out;
    for (const auto& [id, period] : m_fake.timersOf(m_window)) out[static_cast<int>(id)] = period;
    return out;
}

void CFakeControlPanel::showRows(const std::vector<PinListRow>& shown, int selected) {
    rows = shown;
    // Like the list view, which forgets its selection with its rows and is given it again.
    selection = selected;
    ++refreshes;
}

void CFakeControlPanel::destroyPanelWindow() {
    for (const auto& timer : m_fake.timersOf(m_window)) m_fake.killTimer(m_window, timer.first);
    windowDestroyed = true;
}

bool CFakeControlPanel::runSizeDialog(CPinSettings& settings) {
    sizeDialogRuns.push_back(settings);
    bool ok = false;
    m_fake.runModalLoop(kNoWindow, [&] { ok = sizeDialogUser && sizeDialogUser(settings); });
    return ok;
}

bool CFakeControlPanel::runMatchConditionDialog(CPinData& record, bool fromPin, WinHandle pinWindow) {
    ++matchDialogRuns;
    bool ok = false;
    m_fake.runModalLoop(kNoWindow,
                        [&] { ok = matchDialogUser && matchDialogUser(record, fromPin, pinWindow); });
    return ok;
}
