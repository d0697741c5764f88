#include "pins/ControlDlg.h"

#include "desktop/CodePage.h"
#include "desktop/Trace.h"
#include "pinwindow/PinDlg.h"

#include <algorithm>

namespace {

// The base name of Clavora's own executable in upper case: none of its windows (panels,
// dialogs, pin windows) is ever pinned.
constexpr char kOwnExeName[] = "CLAVORA.EXE";
// The desktop's title: the hotkey never pins it.
constexpr char kDesktopTitle[] = "Program Manager";

constexpr char8_t kAlreadyPinnedText[] = u8"既に画鋲がささっています.";
constexpr char8_t kAlreadyPinnedCaption[] = u8"重複操作";
constexpr char8_t kHotKeyFailedText[] = u8"ホットキーの登録が失敗しました.他のキーに変更してください.";

}  // namespace

CControlDlg::CControlDlg(CDesktop& desktop, CPinDlgFactory& factory)
    : m_desktop(desktop), m_factory(factory) {
    setPinController(this);
}

CControlDlg::~CControlDlg() {
    if (pinController() == this) setPinController(nullptr);
}

void CControlDlg::startPinning(const std::string& iniPath) {
    m_iniPath = iniPath;
    loadIniFile();
    refreshList();
    registerPinHotKey();
    m_saveRequested = 0;
    m_saveCountdown = 0;
    startTimer(kCycleTimerId, kFirstCycleDelayMs);
    startTimer(kSaveTimerId, kSaveTickMs);
}

void CControlDlg::registerPinHotKey() {
    if (m_desktop.registerHotKey(panelWindow(), kPinHotKeyId, static_cast<unsigned>(m_hotKeyModifiers),
                                 static_cast<unsigned>(m_hotKey))) {
        return;
    }
    // The cycle runs on without the hotkey until the user picks another key.
    trace("RegisterHotKey() Error=%d\n", static_cast<int>(m_desktop.lastError()));
    m_desktop.appMessageBox(kHotKeyFailedText, MsgButtons::ok);
}

bool CControlDlg::takesPins(std::uint32_t windowStyle) const {
    return (windowStyle & style::kSysMenu) != 0 && (windowStyle & style::kDisabled) == 0;
}

bool CControlDlg::liesOnMonitor(WinHandle h) {
    // A minimised window is parked off every monitor, so this also leaves minimised windows out.
    const Rect r = m_desktop.windowRect(h);
    return r.height() != 0 && r.width() != 0 && m_desktop.rectOnAnyMonitor(r);
}

bool CControlDlg::isOwnProgram(const std::string& upperBaseName) const {
    return upperBaseName == kOwnExeName;
}

void CControlDlg::buildWindowList() {
    m_windows.clear();
    const WinHandle own = panelWindow();
    for (const WinHandle h : m_desktop.topLevelWindows()) {
        if (h == own || !m_desktop.isVisible(h) || m_desktop.isZoomed(h)) continue;
        std::string title = m_desktop.windowTitle(h, kTitleBufferBytes);
        if (title.empty()) continue;
        // Opening a process is the costly part: only windows that got this far pay for it.
        const std::uint32_t processId = m_desktop.windowProcessId(h);
        const std::string baseName = getProcessBaseName(m_desktop, processId);
        if (baseName.empty()) continue;
        std::string exeName = mbUpper(systemCodePage(), baseName);
        if (isOwnProgram(exeName) || !takesPins(m_desktop.style(h)) || !liesOnMonitor(h)) continue;

        CWinInf& win = m_windows.emplace_back(m_desktop);
        win.m_hWnd = h;
        win.m_title = std::move(title);
        win.m_exeName = std::move(exeName);
        win.m_exePath = getProcessImagePath(m_desktop, processId);
    }
}

void CControlDlg::runCycle() {
    // Stopped while it runs and re-armed at the end: cycles never overlap or queue up, and
    // the period counts from the end of the previous one.
    killTimer(kCycleTimerId);
    buildWindowList();
    for (CPinData& pin : m_pins) {
        if (pin.m_pinned == 0) {
            // Only the first matching window is tried, even when another record holds it.
            const auto match = std::find_if(m_windows.begin(), m_windows.end(),
                                            [&pin](CWinInf& win) { return pin.Match(win); });
            if (match == m_windows.end()) continue;
            const WinHandle target = match->m_hWnd;
            const bool held = std::any_of(m_pins.begin(), m_pins.end(), [target](const CPinData& other) {
                return other.m_hTarget == target;
            });
            if (!held) pin.StartPin(m_factory, target);
        } else {
            const bool stays = std::any_of(m_windows.begin(), m_windows.end(), [&pin](CWinInf& win) {
                return win.m_hWnd == pin.m_hTarget && pin.Match(win);
            });
            if (!stays) pin.EndPin();
        }
    }
    startTimer(kCycleTimerId, kCyclePeriodMs);
}

void CControlDlg::onTimer(int id) {
    if (id == kCycleTimerId) {
        runCycle();
    } else if (id == kSaveTimerId) {
        saveCountdownTick();
    }
}

void CControlDlg::onHotKey(int id) {
    if (id == kPinHotKeyId) pinForegroundWindow(m_desktop.foregroundWindow());
}

void CControlDlg::pinForegroundWindow(WinHandle h) {
    const bool pinned = std::any_of(m_pins.begin(), m_pins.end(), [h](const CPinData& pin) {
        return pin.m_pinned == 1 && pin.m_hTarget == h;
    });
    if (pinned) {
        m_desktop.messageBox(h, kAlreadyPinnedText, kAlreadyPinnedCaption, MsgButtons::ok, MsgIcon::none);
        return;
    }
    // Every other refusal is silent.
    if (!m_desktop.isVisible(h)) return;
    std::string title = m_desktop.windowTitle(h, kTitleBufferBytes);
    if (title.empty() || title == kDesktopTitle) return;
    const std::uint32_t processId = m_desktop.windowProcessId(h);
    if (m_desktop.isZoomed(h) || !takesPins(m_desktop.style(h)) || !liesOnMonitor(h)) return;
    const std::string baseName = getProcessBaseName(m_desktop, processId);
    if (baseName.empty()) return;
    std::string exeName = mbUpper(systemCodePage(), baseName);
    if (isOwnProgram(exeName)) return;

    // Process and whole-title conditions on; the next cycle puts the pin on. Adding a record
    // asks for no save: it reaches the file with the next one, at the latest at exit.
    CPinData& record = m_pins.emplace_back();
    record.m_titleFlag = 1;
    record.m_processFlag = 1;
    record.m_title = std::move(title);
    record.m_exeName = std::move(exeName);
    record.m_exePath = getProcessImagePath(m_desktop, processId);
    refreshList();
}

void CControlDlg::requestSave() {
    m_saveRequested = 1;
    m_saveCountdown = kSaveCountdownTicks;
}

void CControlDlg::saveCountdownTick() {
    if (m_saveRequested == 0) return;
    if (m_saveCountdown != 0) {
        --m_saveCountdown;
        return;
    }
    m_saveRequested = 0;
    __writeIniFile();
}

void CControlDlg::notifyUpdateWindow() {
    trace("CControlDlg::notifyUpdateWindow()\n");
    refreshList();
    requestSave();
}

void CControlDlg::endAllPins() {
    for (CPinData& pin : m_pins) pin.EndPin();
}

void CControlDlg::loadIniFile() {
    CPinSettings settings{m_pinSize, m_moveEnable, m_hotKey, m_hotKeyModifiers};
    loadPinFile(m_iniPath, settings, m_pins);
    m_pinSize = settings.m_pinSize;
    m_moveEnable = settings.m_moveEnable;
    m_hotKey = settings.m_hotKey;
    m_hotKeyModifiers = settings.m_hotKeyModifiers;
}

bool CControlDlg::__writeIniFile() {
    trace("CControlDlg::__writeIniFile()\n");
    const CPinSettings settings{m_pinSize, m_moveEnable, m_hotKey, m_hotKeyModifiers};
    return writePinFile(m_iniWriter, m_iniPath, settings, m_pins);
}

void CControlDlg::refreshList() {
    std::vector<PinListRow> rows;
    rows.reserve(m_pins.size());
    for (const CPinData& pin : m_pins) rows.push_back({pin.m_exeName, pin.m_title});
    showRows(rows);
}

int CControlDlg::findRecordOfPin(CPinDlg* pinWindow) {
    if (!pinWindow) return -1;
    for (std::size_t i = 0; i < m_pins.size(); ++i) {
        const CPinData& pin = m_pins[i];
        if (pin.m_pinned != 1 || !pin.m_pPinDlg) continue;
        const WinHandle held = pin.m_pPinDlg->pinHandle();
        const WinHandle given = pinWindow->pinHandle();
        trace("Data hWnd=0x%08x\n", handleBits(held));
        trace("Obj  hWnd=0x%08x\n", handleBits(given));
        if (held == given) return static_cast<int>(i);
    }
    return -1;
}

void CControlDlg::removeRecordOfPin(CPinDlg* pinWindow) {
    const int index = findRecordOfPin(pinWindow);
    if (index < 0) return;
    // As the panel's deletion does: the window gives its target the styles back, but nothing
    // is copied into the record, which goes.
    m_pins[static_cast<std::size_t>(index)].m_pPinDlg->Destroy();
    m_pins.erase(m_pins.begin() + index);
    refreshList();
    requestSave();
}

void CControlDlg::changeConditionsFromPin(CPinDlg* pinWindow) { findRecordOfPin(pinWindow); }

void CControlDlg::DestroyWindow() {
    trace("CControlDlg::DestroyWindow() \n");
    m_desktop.unregisterHotKey(panelWindow(), kPinHotKeyId);
    for (CPinData& pin : m_pins) pin.EndPin();
    __writeIniFile();
    m_pins.clear();
    destroyPanelWindow();
}
