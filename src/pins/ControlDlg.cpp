#include "pins/ControlDlg.h"

#include "base/Trace.h"
#include "desktop/CodePage.h"
#include "desktop/HotKeyExState.h"
#include "pins/PinRefusal.h"
#include "pinwindow/PinDlg.h"
#include "pinwindow/PinDlgFactory.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace {

constexpr char8_t kAlreadyPinnedText[] = u8"既に画鋲がささっています.";
constexpr char8_t kAlreadyPinnedCaption[] = u8"重複操作";
constexpr char8_t kHotKeyFailedText[] = u8"ホットキーの登録が失敗しました.他のキーに変更してください.";
constexpr char8_t kHotKeyTakenText[] = u8"ホットキーの登録が重複しています.他のキーに変更してください ";
constexpr char8_t kHotKeyFallbackText[] =
    u8"Win + Z が使えないため、ピン止めキーを Ctrl + Win + Z にしました.プロパティ設定で変更できます.";
// Win+Z, the key Clavora comes with, and the one it takes where the system keeps Win+Z.
constexpr int kDefaultHotKey = 'Z';
constexpr int kDefaultModifiers = hotkeymod::kWin;
constexpr int kFallbackModifiers = hotkeymod::kControl | hotkeymod::kWin;
constexpr char8_t kNothingToDeleteText[] = u8"削除するデータを一覧で選択してください";
constexpr char8_t kDeleteQuestion[] = u8"選択したデータを削除しますか？";
constexpr char8_t kNothingToEditText[] = u8"マッチング条件変更するデータを一覧で選択してください";
// A window of a program run as administrator, which Clavora without those rights may not touch.
constexpr char8_t kElevatedText[] =
    u8"管理者権限で動いているウィンドウには画鋲をさせません.Clavoraを管理者として実行すると画鋲をさせます.";
// The notices of saving and loading; each is followed by the file's path.
constexpr char8_t kSaveFailingText[] = u8"設定を保存できません。保存できるまで数秒おきに試します:\n";
constexpr char8_t kSavedAgainText[] = u8"設定を保存できました:\n";
constexpr char8_t kSaveFailedAtExitText[] = u8"設定を保存できませんでした:\n";
constexpr char8_t kSaveAgainQuestion[] =
    u8"\n\nもう一度保存しますか？\n「いいえ」を選ぶと、保存せずに終了します。";
// Followed by the file's name, then by the path of its rescue copy.
constexpr char8_t kUnreadFileText[] = u8"読めなかった設定ファイル ";
constexpr char8_t kUnreadFileWhereText[] = u8" を次の名前で残しました:\n";
constexpr char8_t kShownPinText[] = u8"現在表示中です。画鋲の右クリックメニューから条件変更を行ってください";

// What the match condition dialog edits of a record. An edit hands back only these: the cycle
// goes on while the dialog is open and may start or end the record's pin, and what it did
// (the pin window, the place and look taken back) must stay, so that every pin window keeps
// exactly one record.
template <class Record>
auto conditionsOf(Record& pin) {
    return std::tie(pin.m_titleFlag, pin.m_processFlag, pin.m_fullFlag, pin.m_extentFlag, pin.m_exFullFlag,
                    pin.m_titlePart, pin.m_exText, pin.m_exPart, pin.m_exCtrlID, pin.m_exClassName);
}

// The record whose shown pin is the window pin, tracing every shown pin it compares when
// traced; -1 if none.
int findRecordOfPinWindow(const std::vector<CPinData>& pins, WinHandle pin, bool traced) {
    for (std::size_t i = 0; i < pins.size(); ++i) {
        const CPinData& record = pins[i];
        if (record.m_pinned != 1 || record.m_hPinWnd == kNoWindow) continue;
        if (traced) {
            trace("Data hWnd=0x%08x\n", handleBits(record.m_hPinWnd));
            trace("Obj  hWnd=0x%08x\n", handleBits(pin));
        }
        if (record.m_hPinWnd == pin) return static_cast<int>(i);
    }
    return -1;
}

bool liesOnMonitor(CDesktop& desktop, WinHandle h, const std::vector<MonitorRecord>& monitors) {
    // A minimised window is parked off every monitor, so this also leaves minimised windows out.
    const Rect r = desktop.windowRect(h);
    if (r.height() == 0 || r.width() == 0) return false;
    return rectOnAnyMonitor(monitors, r);
}

// A window of the cycle's enumeration, answered from what the cycle keeps: the monitors as the
// main window last read them, the process names kept from cycle to cycle, and one read of the
// style word (for a top-level window IsWindowVisible and IsZoomed are its WS_VISIBLE and
// WS_MAXIMIZE bits).
class ListedWindow final : public CPinCandidate {
public:
    ListedWindow(CDesktop& desktop, CProcessNames& names, const std::vector<MonitorRecord>& monitors,
                 WinHandle own, WinHandle h)
        : m_desktop(desktop), m_names(names), m_monitors(monitors), m_own(own), m_h(h) {}

    bool isOwnPanel() override { return m_h == m_own; }
    std::uint32_t style() override {
        if (!m_style) m_style = m_desktop.style(m_h);
        return *m_style;
    }
    const std::string& title() override {
        if (!m_title) m_title = m_desktop.windowTitle(m_h, kTitleBufferBytes);
        return *m_title;
    }
    const std::string& upperExeName() override { return m_names.upperBaseName(processId()); }
    bool liesOnMonitor() override { return ::liesOnMonitor(m_desktop, m_h, m_monitors); }
    bool runsElevated() override { return m_names.runsElevated(processId()); }
    std::uint32_t cloak() override {
        if (!m_cloak) m_cloak = m_desktop.cloak(m_h);
        return *m_cloak;
    }

    std::uint32_t processId() {
        if (!m_processId) m_processId = m_desktop.windowProcessId(m_h);
        return *m_processId;
    }
    std::string takeTitle() { return std::move(*m_title); }

private:
    CDesktop& m_desktop;
    CProcessNames& m_names;
    const std::vector<MonitorRecord>& m_monitors;
    const WinHandle m_own;
    const WinHandle m_h;
    std::optional<std::uint32_t> m_style;
    std::optional<std::string> m_title;
    std::optional<std::uint32_t> m_processId;
    std::optional<std::uint32_t> m_cloak;
};

// The foreground window of the hotkey, asked of the desktop.
class ForegroundWindow final : public CPinCandidate {
public:
    ForegroundWindow(CDesktop& desktop, const std::vector<MonitorRecord>& monitors, WinHandle h)
        : m_desktop(desktop), m_monitors(monitors), m_h(h) {}

    bool isOwnPanel() override { return false; }
    std::uint32_t style() override { return m_desktop.style(m_h); }
    const std::string& title() override {
        if (!m_title) m_title = m_desktop.windowTitle(m_h, kTitleBufferBytes);
        return *m_title;
    }
    const std::string& upperExeName() override {
        if (!m_exeName) m_exeName = mbUpper(systemCodePage(), getProcessBaseName(m_desktop, processId()));
        return *m_exeName;
    }
    bool liesOnMonitor() override { return ::liesOnMonitor(m_desktop, m_h, m_monitors); }
    bool runsElevated() override { return m_desktop.runsElevated(processId()); }
    std::uint32_t cloak() override { return m_desktop.cloak(m_h); }

    std::uint32_t processId() { return m_desktop.windowProcessId(m_h); }
    std::string takeTitle() { return std::move(*m_title); }
    std::string takeExeName() { return std::move(*m_exeName); }

private:
    CDesktop& m_desktop;
    const std::vector<MonitorRecord>& m_monitors;
    const WinHandle m_h;
    std::optional<std::string> m_title;
    std::optional<std::string> m_exeName;
};

}  // namespace

CControlDlg::CControlDlg(CDesktop& desktop, CPinDlgFactory& factory, CSmallIconStore& icons,
                         CFileSystem& files)
    : m_iniWriter(files), m_iconCache(icons), m_desktop(desktop), m_factory(factory), m_files(files) {
    setPinController(this);
}

CControlDlg::~CControlDlg() {
    if (pinController() == this) setPinController(nullptr);
}

void CControlDlg::startPinning(const FilePath& iniPath) {
    m_iniPath = iniPath;
    loadIniFile();
    refreshList();
    m_saveRequested = 0;
    m_saveCountdown = 0;
    startTimer(kCycleTimerId, kFirstCycleDelayMs);
    m_earlyCycles.setActive(true);
    registerHotKeyAtStart();
}

bool CControlDlg::registerPinHotKey() {
    // A key that types text, taken system-wide, would be gone from every program's typing. The
    // settings cannot choose one, but a hand-edited file can: it fails as a taken key would.
    const auto key = static_cast<std::uint16_t>(m_hotKey);
    const auto modifiers = static_cast<std::uint16_t>(m_hotKeyModifiers);
    if (key == 0 || typesText(key, modifiers)) {
        trace("registerPinHotKey: %d with modifiers %d is no pin key\n", m_hotKey, m_hotKeyModifiers);
        m_hotKeyRegistered = false;
        return false;
    }
    // Without repeats: keys held a little long would make a record with every repeat.
    m_hotKeyRegistered = m_desktop.registerHotKey(
        panelWindow(), kPinHotKeyId, modifiers | hotkeymod::kNoRepeat, static_cast<unsigned>(m_hotKey));
    return m_hotKeyRegistered;
}

void CControlDlg::registerHotKeyAtStart() {
    // Nothing here waits on the user: at sign-in a box would hold the tray icon and every pin
    // until it was closed. The cycle tells the notice from the tray icon instead.
    if (registerPinHotKey()) return;
    // Only the key Clavora chose is changed: a key the user chose stays, and they are told.
    if (m_hotKey == kDefaultHotKey && m_hotKeyModifiers == kDefaultModifiers) {
        m_hotKeyModifiers = kFallbackModifiers;
        if (registerPinHotKey()) {
            // Kept in the file, so that the key in use is the one the settings show from now on.
            m_pendingNotice = kHotKeyFallbackText;
            requestSave();
            return;
        }
        m_hotKeyModifiers = kDefaultModifiers;
    }
    // The cycle runs on without the hotkey until the user picks another key.
    m_pendingNotice = kHotKeyFailedText;
}

void CControlDlg::tellPendingNotice() {
    if (!m_pendingNotice.empty() && tellUser(m_pendingNotice)) m_pendingNotice.clear();
}

void CControlDlg::buildWindowList() {
    // Every question below is a round trip to the window system, which is what a cycle
    // costs: the monitors are not asked at all (the main window reads them again when the
    // display setup changes), and the descriptions of the last cycle are written over in place.
    std::size_t listed = 0;
    m_processNames.beginCycle();
    const std::vector<MonitorRecord>& monitors = m_factory.monitors().monitors();
    const WinHandle own = panelWindow();
    for (const WinHandle h : m_desktop.topLevelWindows()) {
        // Only windows that get far enough need their process's names, which are read once
        // per process and kept while it lives.
        ListedWindow window(m_desktop, m_processNames, monitors, own, h);
        if (pinRefusal(window, PinTestOrder::cycle) != PinRefusal::none) continue;
        const std::uint32_t processId = window.processId();

        if (listed == m_windows.size()) m_windows.emplace_back(m_desktop);
        CWinInf& win = m_windows[listed++];
        win.describeAnew(h);
        win.m_title = window.takeTitle();
        win.m_exeName = m_processNames.upperBaseName(processId);
        win.m_otherDesktop = (window.cloak() & cloak::kByShell) != 0;
        // A Store app is named by its own program, whose icon the panel then shows.
        std::uint32_t named = processId;
        const std::uint32_t app = shownProgramProcess(m_desktop, h, processId, win.m_exeName);
        if (app != processId && !m_processNames.upperBaseName(app).empty()) {
            win.m_hostExeName = std::exchange(win.m_exeName, m_processNames.upperBaseName(app));
            named = app;
        }
        win.m_exePath = m_processNames.imagePath(named);
    }
    m_windows.erase(m_windows.begin() + static_cast<std::ptrdiff_t>(listed), m_windows.end());
    m_processNames.endCycle();
}

void CControlDlg::runCycle() {
    // Stopped while it runs and re-armed at the end: cycles never overlap or queue up, and
    // the period counts from the end of the previous one.
    killTimer(kCycleTimerId);
    tellPendingNotice();
    killTimer(kEarlyCycleTimerId);
    m_earlyCycles.cycleStarts();
    buildWindowList();
    m_windowIndex.build(m_windows);
    // Every pin that ends redraws the list; one that starts is shown once the cycle is done.
    bool started = false;
    for (CPinData& pin : m_pins) {
        // A pin waiting on its target's thread hands Clavora the messages sent meanwhile, the
        // session's end among them: nothing is pinned after it, and the cycle is not re-armed.
        if (m_sessionEnded) return;
        if (pin.m_pinned == 0) {
            // Only the first matching window is tried, even when another record holds it.
            CWinInf* const match = firstMatch(pin);
            if (!match) continue;
            const WinHandle target = match->m_hWnd;
            const bool held = std::any_of(m_pins.begin(), m_pins.end(), [target](const CPinData& other) {
                return other.m_hTarget == target;
            });
            // Pinning restyles the window, which would wait on a program that does not answer;
            // a window on another virtual desktop waits until the user is there.
            if (held || match->m_otherDesktop || !match->answers() || target == pin.m_refusingTarget)
                continue;
            m_foundWindows.note(m_desktop, target, pin.m_recordId);
            pin.StartPin(m_factory, target);
            if (pin.m_pinned == 1) pin.m_madeFrom = kNoWindow;
            started = started || pin.m_pinned == 1;
            if (pin.m_refusingTarget == target && !pin.m_refusalTold) {
                pin.m_refusalTold = true;
                tellUser(kElevatedText);
            }
        } else {
            // While its program does not answer, a window cannot be asked about its children
            // nor be given its styles back: its pin stays until it answers again. A pin
            // window that went by itself ends the pin, so that the record is pinned anew.
            CWinInf* const win = findListed(pin, pin.m_hTarget);
            const bool stays = win && pin.pinDlg() && (pin.Match(*win) || !win->answers());
            if (!stays) pin.EndPin(m_factory);
        }
    }
    if (started) refreshList();
    if (m_sessionEnded) return;
    keepHoldTick();
    startTimer(kCycleTimerId, kCyclePeriodMs);
    if (const auto delay = m_earlyCycles.cycleEnds(nowMs())) startTimer(kEarlyCycleTimerId, *delay);
}

namespace {

// The index knows each window by one name: a record that names the Store app host may match
// a frame listed under its app's name, and looks at every window.
bool byIndex(const CPinData& pin) { return pin.m_processFlag != 0 && pin.m_exeName != kStoreAppHostName; }

}  // namespace

std::size_t CControlDlg::firstCandidate(const CPinData& pin) const {
    if (byIndex(pin)) return m_windowIndex.first(pin.m_exeName);
    return m_windows.empty() ? CWindowIndex::npos : 0;
}

std::size_t CControlDlg::nextCandidate(const CPinData& pin, std::size_t i) const {
    if (byIndex(pin)) return m_windowIndex.next(i);
    return i + 1 < m_windows.size() ? i + 1 : CWindowIndex::npos;
}

CWinInf* CControlDlg::firstMatch(CPinData& pin) {
    // A record the hotkey made belongs to the window it was made from, whichever of several
    // alike comes first; records from the file take the first that matches.
    if (pin.m_madeFrom != kNoWindow) {
        CWinInf* const own = findListed(pin, pin.m_madeFrom);
        if (own && pin.Match(*own)) return own;
    }
    for (std::size_t i = firstCandidate(pin); i != CWindowIndex::npos; i = nextCandidate(pin, i)) {
        if (pin.Match(m_windows[i])) return &m_windows[i];
    }
    return nullptr;
}

CWinInf* CControlDlg::findListed(const CPinData& pin, WinHandle h) {
    for (std::size_t i = firstCandidate(pin); i != CWindowIndex::npos; i = nextCandidate(pin, i)) {
        if (m_windows[i].m_hWnd == h) return &m_windows[i];
    }
    // Listed under another program: the record's process condition will tell it no.
    if (!byIndex(pin)) return nullptr;
    const auto it =
        std::find_if(m_windows.begin(), m_windows.end(), [h](const CWinInf& win) { return win.m_hWnd == h; });
    return it == m_windows.end() ? nullptr : &*it;
}

void CControlDlg::keepHoldTick() {
    const bool shown =
        std::any_of(m_pins.begin(), m_pins.end(), [](const CPinData& pin) { return pin.m_pinned == 1; });
    // Set anew, the timer would start its second again: it is set only when it is not running.
    if (shown == m_holdTicking) return;
    m_holdTicking = shown;
    if (shown) {
        startTimer(kPinHoldTimerId, kPinHoldTimerMs);
    } else {
        killTimer(kPinHoldTimerId);
    }
}

void CControlDlg::holdPins() {
    // A hold waits on its target's program, which hands this thread the messages sent to it
    // meanwhile: any of them may end a pin (another's, or all of them with the session).
    for (const WinHandle pin : CPinDlg::holdingPins()) {
        if (m_sessionEnded) return;
        if (CPinDlg* const held = CPinDlg::find(pin)) held->hold();
    }
}

void CControlDlg::onTimer(int id) {
    if (id == kCycleTimerId || id == kEarlyCycleTimerId) {
        runCycle();
    } else if (id == kPinHoldTimerId) {
        holdPins();
    } else if (id == kSaveTimerId) {
        saveCountdownTick();
    }
}

void CControlDlg::onHotKey(int id) {
    if (id == kPinHotKeyId) pinForegroundWindow(m_desktop.foregroundWindow());
}

void CControlDlg::onWindowEvent(WindowEvent event) {
    // Only the timer is armed here: the event may come in a nested loop, and the cycle runs
    // from the timer, where it cannot overlap another.
    if (const auto delay = m_earlyCycles.onEvent(event, nowMs())) startTimer(kEarlyCycleTimerId, *delay);
}

void CControlDlg::pinForegroundWindow(WinHandle h) {
    // A record made from h that waits for the next cycle is as good as its pin: a second
    // press before that cycle would make a twin record that never pins.
    const auto pinned = std::find_if(m_pins.begin(), m_pins.end(), [h](const CPinData& pin) {
        return h != kNoWindow && ((pin.m_pinned == 1 && pin.m_hTarget == h) || pin.m_madeFrom == h);
    });
    if (pinned != m_pins.end()) {
        // Owned by the pin, not by its window: a box disables its owner while it is open, and
        // the cycle would leave out a disabled window, the very window the notice is about.
        // A pin yet to come has no window: its box is owned by none.
        m_desktop.messageBox(pinned->m_pinned == 1 ? pinned->m_hPinWnd : kNoWindow, kAlreadyPinnedText,
                             kAlreadyPinnedCaption, MsgButtons::ok, MsgIcon::none);
        return;
    }
    ForegroundWindow window(m_desktop, m_factory.monitors().monitors(), h);
    const PinRefusal refusal = pinRefusal(window, PinTestOrder::hotKey);
    if (refusal != PinRefusal::none) {
        trace("pinForegroundWindow: refused, %s\n", refusalName(refusal));
        // Every other refusal is silent: the user pressed the keys over some window or other.
        if (refusal == PinRefusal::elevated) tellUser(kElevatedText);
        return;
    }
    std::uint32_t processId = window.processId();
    std::string exeName = window.takeExeName();
    // A Store app's record names the app's own program, as the cycle lists its frame.
    if (const std::uint32_t app = shownProgramProcess(m_desktop, h, processId, exeName); app != processId) {
        if (std::string appName = mbUpper(systemCodePage(), getProcessBaseName(m_desktop, app));
            !appName.empty()) {
            exeName = std::move(appName);
            processId = app;
        }
    }

    // Process and whole-title conditions on; the next cycle puts the pin on. Saved soon, so
    // that a program ended without notice keeps it.
    CPinData& record = m_pins.emplace_back();
    record.m_titleFlag = 1;
    record.m_processFlag = 1;
    record.m_title = window.takeTitle();
    record.m_exeName = std::move(exeName);
    record.m_exePath = getProcessImagePath(m_desktop, processId);
    record.m_madeFrom = h;
    refreshList();
    requestSave();
}

void CControlDlg::requestSave() {
    // The ending session has written the file; the pins that end after it change nothing in it.
    if (m_sessionEnded) return;
    m_saveRequested = 1;
    m_saveCountdown = kSaveCountdownTicks;
    // Restarting the tick with the request keeps the save 600 ms after the last request.
    startTimer(kSaveTimerId, kSaveTickMs);
}

void CControlDlg::saveCountdownTick() {
    if (m_saveRequested == 0) return;
    if (m_saveCountdown != 0) {
        --m_saveCountdown;
        return;
    }
    m_saveRequested = 0;
    killTimer(kSaveTimerId);
    saveOrRetry();
}

void CControlDlg::saveOrRetry() {
    if (__writeIniFile()) {
        if (m_saveRetry.succeeded()) tellUser(kSavedAgainText + pathForUser(m_iniPath));
        return;
    }
    const CSaveRetry::Next next = m_saveRetry.failed();
    if (next.tell) tellUser(kSaveFailingText + pathForUser(m_iniPath));
    // The countdown has run out already: the next tick saves.
    m_saveRequested = 1;
    m_saveCountdown = 0;
    startTimer(kSaveTimerId, next.delayMs);
}

void CControlDlg::notifyUpdateWindow() {
    trace("CControlDlg::notifyUpdateWindow()\n");
    refreshList();
    requestSave();
}

void CControlDlg::endAllPins() {
    for (CPinData& pin : m_pins) pin.EndPin(m_factory);
}

void CControlDlg::loadIniFile() {
    CPinSettings loaded = settings();
    m_iniUnread = !loadPinFile(m_iniPath, loaded, m_pins, m_files);
    takeSettings(loaded);
}

void CControlDlg::takeSettings(CPinSettings settings) {
    std::tie(m_pinSize, m_moveEnable, m_hotKey, m_hotKeyModifiers) = settings.fields();
}

bool CControlDlg::__writeIniFile() {
    trace("CControlDlg::__writeIniFile()\n");
    // Pins in a file that could not be read are kept beside it, never written over.
    if (m_iniUnread) {
        const std::optional<FilePath> aside = setAsideUnreadFile(m_iniPath, m_files);
        if (!aside) return false;
        m_iniUnread = false;
        if (!aside->empty()) {
            tellUser(kUnreadFileText + pathForUser(fileNameOf(m_iniPath)) + kUnreadFileWhereText +
                     pathForUser(*aside));
        }
    }
    // Shown pins are written as they are now, not as they were when they last ended: their
    // windows keep running, and a program ended without notice must not lose their changes.
    std::vector<CPinData> records = m_pins;
    for (CPinData& record : records) {
        if (const CPinDlg* pin = record.pinDlg()) record.takeFromPinWindow(*pin);
    }
    return writePinFile(m_iniWriter, m_iniPath, settings(), records);
}

void CControlDlg::refreshList() {
    // The selection follows its record, wherever the rows moved: the list forgets it when its
    // rows are replaced, and the buttons act on what the user chose.
    const int mark = selectionMark();
    const std::uint64_t selected = mark >= 0 && static_cast<std::size_t>(mark) < m_shownRecords.size()
                                       ? m_shownRecords[static_cast<std::size_t>(mark)]
                                       : 0;
    std::vector<PinListRow> rows;
    rows.reserve(m_pins.size());
    m_shownRecords.clear();
    for (const CPinData& pin : m_pins) {
        rows.push_back(
            {pin.m_exeName, pin.m_title, m_iconCache.GetIconIndex(pin.m_exePath), pin.m_pinned == 1});
        m_shownRecords.push_back(pin.m_recordId);
    }
    showRows(rows, selected == 0 ? -1 : findRecord(selected));
}

void CControlDlg::onPropertySettings() {
    CPinSettings chosen = settings();
    if (!runSizeDialog(chosen)) return;
    takeSettings(chosen);
    m_desktop.unregisterHotKey(panelWindow(), kPinHotKeyId);
    // A key taken meanwhile leaves the program without a hotkey, but the other settings
    // still take effect and are saved.
    if (!registerPinHotKey()) m_desktop.appMessageBox(kHotKeyTakenText, MsgButtons::ok);
    // Pin windows read the picture and the drag setting when they are made: the next cycle
    // makes them anew.
    endAllPins();
    refreshList();
    requestSave();
}

void CControlDlg::onDeletePin() {
    const int index = selectionMark();
    if (index < 0 || static_cast<std::size_t>(index) >= m_pins.size()) {
        m_desktop.appMessageBox(kNothingToDeleteText, MsgButtons::ok);
        return;
    }
    // The record is known by identity across the question: rows may move or go meanwhile.
    const std::uint64_t recordId = m_pins[static_cast<std::size_t>(index)].m_recordId;
    if (m_desktop.appMessageBox(kDeleteQuestion, MsgButtons::yesNo) == MsgAnswer::yes) forgetRecord(recordId);
}

void CControlDlg::removeRecord(std::size_t index) {
    CPinData& pin = m_pins[index];
    // Nothing is copied back into the record, which goes.
    if (CPinDlg* const pinWindow = pin.pinDlg()) pinWindow->Destroy();
    // The pin window gives the styles back but not the Z order, and once the record is gone
    // nothing would ever take its window out of the topmost band.
    m_foundWindows.giveBack(m_desktop, pin.m_recordId);
    m_pins.erase(m_pins.begin() + static_cast<std::ptrdiff_t>(index));
    refreshList();
    requestSave();
}

int CControlDlg::findRecordOfPin(WinHandle pinWindow) {
    return findRecordOfPinWindow(m_pins, pinWindow, true);
}

int CControlDlg::findRecord(std::uint64_t recordId) const {
    const auto it = std::find_if(m_pins.begin(), m_pins.end(),
                                 [recordId](const CPinData& pin) { return pin.m_recordId == recordId; });
    return it == m_pins.end() ? -1 : static_cast<int>(it - m_pins.begin());
}

std::uint64_t CControlDlg::recordIdOfPin(WinHandle pinWindow) {
    const int index = findRecordOfPin(pinWindow);
    return index < 0 ? 0 : m_pins[static_cast<std::size_t>(index)].m_recordId;
}

void CControlDlg::forgetRecord(std::uint64_t recordId) {
    const int index = findRecord(recordId);
    if (index >= 0) removeRecord(static_cast<std::size_t>(index));
}

void CControlDlg::changeConditionsFromPin(WinHandle pinWindow) {
    const int index = findRecordOfPin(pinWindow);
    if (index < 0) return;
    // The pin window may be gone by the time the dialog ends: only its handle is kept.
    CPinData record = m_pins[static_cast<std::size_t>(index)];
    if (!runMatchConditionDialog(record, true, pinWindow)) return;
    takeConditions(record);
}

void CControlDlg::onChangeConditions() {
    const int row = selectionMark();
    if (row < 0) {
        m_desktop.appMessageBox(kNothingToEditText, MsgButtons::ok);
        return;
    }
    if (static_cast<std::size_t>(row) >= m_pins.size()) return;
    CPinData record = m_pins[static_cast<std::size_t>(row)];
    if (record.m_pinned == 1) {
        m_desktop.appMessageBox(kShownPinText, MsgButtons::ok);
        return;
    }
    // Without a pin there is no live window to choose a child window from.
    if (!runMatchConditionDialog(record, false, kNoWindow)) return;
    takeConditions(record);
}

void CControlDlg::takeConditions(const CPinData& edited) {
    // Found by identity: records before it may have gone while the dialog was open, and the
    // record itself may have gone, which drops the edit.
    const int index = findRecord(edited.m_recordId);
    if (index < 0) return;
    conditionsOf(m_pins[static_cast<std::size_t>(index)]) = conditionsOf(edited);
    refreshList();
    requestSave();
}

void CControlDlg::endSession(PinsEnd pins, FailedSave failed) {
    if (m_sessionEnded) return;
    m_sessionEnded = true;
    trace("CControlDlg::endSession()\n");
    m_desktop.unregisterHotKey(panelWindow(), kPinHotKeyId);
    // The cycle would pin again, and a save waiting for its countdown would come too late.
    m_earlyCycles.setActive(false);
    killTimer(kCycleTimerId);
    killTimer(kEarlyCycleTimerId);
    killTimer(kSaveTimerId);
    killTimer(kPinHoldTimerId);
    m_holdTicking = false;
    m_saveRequested = 0;
    // The writer takes shown pins as they are now, which is what ending them would take back.
    const bool saved = __writeIniFile();
    if (pins != PinsEnd::now) return;
    endPinsForGood();
    // Asked only with every pin ended: nothing can change the records while the box is open.
    if (saved || failed != FailedSave::ask) return;
    const std::u8string question = kSaveFailedAtExitText + pathForUser(m_iniPath) + kSaveAgainQuestion;
    while (m_desktop.appMessageBox(question, MsgButtons::yesNo) == MsgAnswer::yes && !__writeIniFile()) {
    }
}

void CControlDlg::endPinsForGood() {
    endAllPins();
    // Nobody is left to hold the windows in the band the pins gave them.
    m_foundWindows.giveBackAll(m_desktop);
}

void CControlDlg::DestroyWindow() {
    trace("CControlDlg::DestroyWindow() \n");
    endSession();
    endPinsForGood();
    m_pins.clear();
    destroyPanelWindow();
}
