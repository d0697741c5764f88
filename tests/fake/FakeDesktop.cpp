#include "fake/FakeDesktop.h"

#include "base/Trace.h"
#include "desktop/CodePage.h"
#include "desktop/Dpi.h"
#include "desktop/HotKeyExState.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::uint32_t kStateBits = style::kVisible | style::kDisabled | style::kMaximize | style::kMinimize;
// Where the system parks a minimised window, and the size it gives it there.
constexpr std::int32_t kIconicPosition = -32000;
constexpr std::int32_t kIconicWidth = 160;
constexpr std::int32_t kIconicHeight = 28;
// WS_ACTIVECAPTION in WINDOWINFO's status.
constexpr std::uint32_t kActiveCaption = 0x0001;
// Integer atoms of registered window classes start here.
constexpr std::uint16_t kFirstClassAtom = 0xC000;
// WS_THICKFRAME: a frame the user can size, with invisible resize borders on Windows 10.
constexpr std::uint32_t kThickFrame = 0x00040000;
// The invisible resize border at 96 DPI on the left, right and bottom; the top has none
// (DWMWA_EXTENDED_FRAME_BOUNDS against GetWindowRect on Windows 10 and 11).
constexpr int kResizeBorder = 7;
constexpr unsigned kVkF1 = 0x70;
constexpr unsigned kVkF24 = 0x87;

std::string cut(const std::string& s, std::size_t bufferBytes) {
    if (bufferBytes == 0) return {};
    return s.substr(0, std::min(s.size(), bufferBytes - 1));
}

const char* kindName(FakeCall::Kind kind) {
    switch (kind) {
        case FakeCall::Kind::moveWindow:
            return "moveWindow";
        case FakeCall::Kind::setPlacement:
            return "setPlacement";
        case FakeCall::Kind::setRedraw:
            return "setRedraw";
        case FakeCall::Kind::showNormal:
            return "showNormal";
        case FakeCall::Kind::minimizeByCommand:
            return "minimizeByCommand";
        case FakeCall::Kind::setTopmost:
            return "setTopmost";
        case FakeCall::Kind::setStyle:
            return "setStyle";
        case FakeCall::Kind::setExStyle:
            return "setExStyle";
        case FakeCall::Kind::setLayeredAttributes:
            return "setLayeredAttributes";
        case FakeCall::Kind::registerHotKey:
            return "registerHotKey";
        case FakeCall::Kind::unregisterHotKey:
            return "unregisterHotKey";
    }
    return "?";
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const FakeCall& call) {
    const Rect& r = call.rect;
    out << kindName(call.kind) << "(0x" << std::hex << handleBits(call.window) << std::dec;
    switch (call.kind) {
        case FakeCall::Kind::moveWindow:
            out << ", {" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}, repaint "
                << call.flag << ", waits " << (call.wait == MoveWait::forTarget);
            break;
        case FakeCall::Kind::setPlacement:
            out << ", show " << call.placement.showCmd;
            break;
        case FakeCall::Kind::setRedraw:
        case FakeCall::Kind::setTopmost:
            out << ", " << call.flag;
            break;
        case FakeCall::Kind::setStyle:
        case FakeCall::Kind::setExStyle:
            out << ", 0x" << std::hex << call.value << std::dec;
            break;
        case FakeCall::Kind::setLayeredAttributes:
            out << ", key 0x" << std::hex << call.layered.colorKey << std::dec << ", alpha "
                << int{call.layered.alpha} << ", flags " << call.layered.flags;
            break;
        case FakeCall::Kind::registerHotKey:
            out << ", id " << call.id << ", mods " << call.value << ", vk " << call.vk << ", ok "
                << call.flag;
            break;
        case FakeCall::Kind::unregisterHotKey:
            out << ", id " << call.id;
            break;
        case FakeCall::Kind::showNormal:
        case FakeCall::Kind::minimizeByCommand:
            break;
    }
    return out << ")";
}

CFakeDesktop::CFakeDesktop() {
    const Rect screen{0, 0, 1920, 1080};
    m_monitors.push_back(MonitorRecord{screen, Rect{0, 0, 1920, 1040}, 1, "\\\\.\\DISPLAY1", screen});
    m_desktopRect = screen;
    m_workArea = m_monitors.front().work;
    // RegisterHotKey: Windows-key combinations are reserved by the system, more with each
    // release; Win+Z fails on Windows 10 with ERROR_HOTKEY_ALREADY_REGISTERED, and Windows 11
    // opens its snap layouts with it (RegisterHotKey documentation, MOD_WIN).
    m_heldElsewhere.insert({hotkeymod::kWin, 'Z'});
}

WinHandle CFakeDesktop::newHandle() {
    const WinHandle h{m_nextHandle};
    m_nextHandle += 4;
    return h;
}

CFakeDesktop::Window* CFakeDesktop::find(WinHandle h) {
    const auto it = m_windows.find(h);
    return it == m_windows.end() ? nullptr : &it->second;
}

WinHandle CFakeDesktop::addWindow(const FakeWindowSetup& setup) {
    const WinHandle h = newHandle();
    Window w;
    w.text = setup.title;
    w.className = setup.className;
    w.pid = setup.pid;
    w.rect = setup.rect;
    w.restoreRect = setup.rect;
    w.style = setup.style & ~kStateBits;
    if (setup.visible) w.style |= style::kVisible;
    if (!setup.enabled) w.style |= style::kDisabled;
    if (setup.zoomed) w.style |= style::kMaximize;
    if (setup.iconic) w.style |= style::kMinimize;
    w.exStyle = setup.exStyle;
    w.perMonitorAware = setup.perMonitorAware;
    w.marksTopmost = setup.marksTopmost;
    if (setup.layered) {
        w.exStyle |= style::kExLayered;
        w.layered = setup.layered;
    }
    m_windows.emplace(h, std::move(w));
    m_zOrder.push_back(h);
    queueEvent(h, WindowEvent::created);
    if (setup.visible) queueEvent(h, WindowEvent::shown);
    return h;
}

WinHandle CFakeDesktop::addAppWindow(const std::string& title, const std::string& baseName,
                                     const std::string& imagePath, const Rect& rect) {
    const std::uint32_t pid = newProcessId();
    addProcess(pid, baseName, imagePath);
    return addWindow({.title = title, .pid = pid, .rect = rect});
}

WinHandle CFakeDesktop::addChild(WinHandle parent, const std::string& className, int id,
                                 const std::string& text, bool visible, bool enabled) {
    Window* p = find(parent);
    if (!p) return kNoWindow;
    const std::uint32_t pid = p->pid;
    const Rect parentRect = p->rect;
    const WinHandle h = newHandle();
    p->children.push_back(h);
    Window w;
    w.parent = parent;
    w.text = text;
    w.className = className;
    w.pid = pid;
    w.rect = Rect{parentRect.left + 10, parentRect.top + 30, parentRect.left + 110, parentRect.top + 52};
    w.restoreRect = w.rect;
    w.style = kFakeChildStyle | (visible ? style::kVisible : 0) | (enabled ? 0 : style::kDisabled);
    w.controlId = id;
    m_windows.emplace(h, std::move(w));
    return h;
}

void CFakeDesktop::addProcess(std::uint32_t pid, const std::string& baseName, const std::string& imagePath) {
    for (const auto& [hold, process] : m_holds) {
        if (process.first == pid) throw std::logic_error("a process id given while it is held open");
    }
    m_processes[pid] = Process{baseName, imagePath, m_nextStartTime++};
    m_nextPid = std::max(m_nextPid, pid + 1);
}

std::uint32_t CFakeDesktop::newProcessId() { return m_nextPid++; }

void CFakeDesktop::endProcess(std::uint32_t pid) { m_processes.erase(pid); }

void CFakeDesktop::elevate(std::uint32_t pid, bool seen) {
    Process& process = m_processes[pid];
    process.elevated = true;
    process.elevationSeen = seen;
}

bool CFakeDesktop::runsElevated(std::uint32_t processId) {
    const auto it = m_processes.find(processId);
    return it != m_processes.end() && it->second.elevated && it->second.elevationSeen;
}

bool CFakeDesktop::refuses(const Window& w) {
    const auto it = m_processes.find(w.pid);
    return it != m_processes.end() && it->second.elevated;
}

const CFakeDesktop::Process* CFakeDesktop::opened(std::uint32_t processId, ProcessAccess access) {
    const auto it = m_processes.find(processId);
    if (it == m_processes.end()) return nullptr;
    // OpenProcess: a process of higher integrity refuses PROCESS_QUERY_INFORMATION and
    // PROCESS_VM_READ to a lower one (ERROR_ACCESS_DENIED), and grants every process of the
    // session PROCESS_QUERY_LIMITED_INFORMATION, enough for QueryFullProcessImageNameW
    // ("Process Security and Access Rights"; "Mandatory Integrity Control": no read up).
    if (access == ProcessAccess::full && it->second.elevated) {
        fails("OpenProcess", fakeerror::kAccessDenied);
        return nullptr;
    }
    return &it->second;
}

bool CFakeDesktop::fails(const char* call, std::uint32_t error) {
    trace("%s() Error=%d\n", call, static_cast<int>(error));
    return false;
}

void CFakeDesktop::setText(WinHandle h, const std::string& text) {
    if (Window* w = find(h)) w->text = text;
    queueEvent(h, WindowEvent::renamed);
}

void CFakeDesktop::queueEvent(WinHandle h, WindowEvent event) {
    // Out-of-context hooks hear of top-level windows only, as Clavora's hook asks.
    const Window* w = find(h);
    if (!w || w->parent != kNoWindow || w->pid == ownProcessId) return;
    if (eventsLikeWine && event != WindowEvent::created) return;
    m_events.push_back(event);
}

void CFakeDesktop::deliverEvents() {
    while (!m_events.empty()) {
        const WindowEvent event = m_events.front();
        m_events.pop_front();
        if (onWindowEvent) onWindowEvent(event);
    }
}

void CFakeDesktop::setStateBit(WinHandle h, std::uint32_t bit, bool on) {
    if (Window* w = find(h)) w->style = on ? (w->style | bit) : (w->style & ~bit);
}

void CFakeDesktop::setVisible(WinHandle h, bool visible) {
    setStateBit(h, style::kVisible, visible);
    if (visible) queueEvent(h, WindowEvent::shown);
}

void CFakeDesktop::setEnabled(WinHandle h, bool enabled) { setStateBit(h, style::kDisabled, !enabled); }

void CFakeDesktop::setWindowProcess(WinHandle h, std::uint32_t pid) {
    if (Window* w = find(h)) w->pid = pid;
}

void CFakeDesktop::setCloak(WinHandle h, std::uint32_t bits) {
    if (Window* w = find(h)) w->cloak = bits;
}

std::uint32_t CFakeDesktop::cloak(WinHandle h) {
    // DwmGetWindowAttribute(DWMWA_CLOAKED): DWM_CLOAKED_APP, _SHELL (the windows of other
    // virtual desktops among them) and _INHERITED from the owner (DWMWINDOWATTRIBUTE).
    ++cloakCalls;
    const Window* w = find(h);
    return w ? w->cloak : 0;
}

void CFakeDesktop::setRect(WinHandle h, const Rect& r) {
    if (Window* w = find(h)) w->rect = r;
}

void CFakeDesktop::setHung(WinHandle h, bool hung) {
    if (Window* w = find(h)) w->hung = hung;
}

void CFakeDesktop::maximize(WinHandle h) {
    Window* w = find(h);
    if (!w) return;
    if (!(w->style & (style::kMaximize | style::kMinimize))) w->restoreRect = w->rect;
    w->style = (w->style & ~style::kMinimize) | style::kMaximize;
    w->rect = m_workArea;
}

void CFakeDesktop::minimize(WinHandle h) {
    Window* w = find(h);
    if (!w) return;
    if (!(w->style & (style::kMaximize | style::kMinimize))) w->restoreRect = w->rect;
    w->style = (w->style & ~style::kMaximize) | style::kMinimize;
    w->rect = Rect{kIconicPosition, kIconicPosition, kIconicPosition + kIconicWidth,
                   kIconicPosition + kIconicHeight};
}

void CFakeDesktop::restore(WinHandle h) {
    Window* w = find(h);
    if (!w || !(w->style & (style::kMaximize | style::kMinimize))) return;
    w->style &= ~(style::kMaximize | style::kMinimize);
    w->rect = w->restoreRect;
}

Rect CFakeDesktop::normalRect(WinHandle h) {
    const Window* w = find(h);
    if (!w) return {};
    return (w->style & (style::kMaximize | style::kMinimize)) ? w->restoreRect : w->rect;
}

void CFakeDesktop::destroyWindow(WinHandle h) {
    Window* w = find(h);
    if (!w) return;
    std::vector<WinHandle> doomed{h};
    walk(*w, doomed);
    if (Window* parent = find(w->parent)) std::erase(parent->children, h);
    std::erase(m_zOrder, h);
    for (WinHandle d : doomed) {
        m_windows.erase(d);
        std::erase_if(m_hotKeys, [d](const auto& entry) { return entry.first.first == d; });
        std::erase_if(m_timers, [d](const auto& entry) { return entry.first.first == d; });
        if (m_foreground == d) m_foreground = kNoWindow;
        if (m_active == d) m_active = kNoWindow;
    }
}

void CFakeDesktop::bringToTop(WinHandle h) {
    Window* w = find(h);
    if (!w || w->parent != kNoWindow) return;
    std::erase(m_zOrder, h);
    const bool topmost = (w->exStyle & style::kExTopmost) != 0;
    // The top of the normal band is just below the last topmost window.
    auto at = m_zOrder.begin();
    if (!topmost) {
        at = std::find_if(m_zOrder.begin(), m_zOrder.end(),
                          [this](WinHandle o) { return !(m_windows.at(o).exStyle & style::kExTopmost); });
    }
    m_zOrder.insert(at, h);
}

void CFakeDesktop::holdHotKeyElsewhere(unsigned modifiers, unsigned vk) {
    m_heldElsewhere.insert({modifiers, vk});
}

std::vector<FakeCall> CFakeDesktop::callsOf(FakeCall::Kind kind) const {
    std::vector<FakeCall> out;
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(out),
                 [kind](const FakeCall& c) { return c.kind == kind; });
    return out;
}

std::optional<std::pair<unsigned, unsigned>> CFakeDesktop::registeredHotKey(WinHandle owner, int id) const {
    const auto it = m_hotKeys.find({owner, id});
    if (it == m_hotKeys.end()) return std::nullopt;
    return it->second;
}

bool CFakeDesktop::isWindow(WinHandle h) { return find(h) != nullptr; }

bool CFakeDesktop::isVisible(WinHandle h) {
    for (Window* w = find(h); w; w = find(w->parent)) {
        if (!(w->style & style::kVisible)) return false;
        if (w->parent == kNoWindow) return true;
    }
    return false;
}

bool CFakeDesktop::isEnabled(WinHandle h) {
    const Window* w = find(h);
    return w && !(w->style & style::kDisabled);
}

bool CFakeDesktop::isZoomed(WinHandle h) {
    const Window* w = find(h);
    return w && (w->style & style::kMaximize);
}

bool CFakeDesktop::isIconic(WinHandle h) {
    const Window* w = find(h);
    return w && (w->style & style::kMinimize);
}

std::string CFakeDesktop::windowTitle(WinHandle h, std::size_t bufferBytes) {
    const Window* w = find(h);
    return w ? dataTextCut(systemCodePage(), w->text, bufferBytes) : std::string();
}

std::optional<std::string> CFakeDesktop::controlText(WinHandle h, std::size_t maxChars) {
    ++controlTextCalls;
    const Window* w = find(h);
    if (!w) return std::string();
    if (w->hung) return std::nullopt;
    return dataTextCut(systemCodePage(), w->text, maxChars);
}

bool CFakeDesktop::answers(WinHandle h, unsigned timeoutMs) {
    ++answersCalls;
    answerTimeoutsMs.push_back(timeoutMs);
    const Window* w = find(h);
    return w && !w->hung;
}

std::string CFakeDesktop::className(WinHandle h, std::size_t maxChars) {
    const Window* w = find(h);
    return w ? cut(w->className, maxChars) : std::string();
}

int CFakeDesktop::controlId(WinHandle h) {
    const Window* w = find(h);
    return w ? w->controlId : 0;
}

WindowInfo CFakeDesktop::windowInfo(WinHandle h) {
    WindowInfo info;
    const Window* w = find(h);
    if (!w) return info;
    info.window = w->rect;
    info.client = w->rect;
    info.style = w->style;
    info.exStyle = w->exStyle;
    info.status = (h == m_foreground) ? kActiveCaption : 0;
    info.borderX = 1;
    info.borderY = 1;
    // One atom per class name, as the system registers each class once.
    const auto atom = m_classAtoms.try_emplace(
        w->className, static_cast<std::uint16_t>(kFirstClassAtom + m_classAtoms.size()));
    info.classAtom = atom.first->second;
    info.creatorVersion = 0x0400;
    return info;
}

void CFakeDesktop::walk(const Window& w, std::vector<WinHandle>& out) const {
    for (WinHandle c : w.children) {
        out.push_back(c);
        walk(m_windows.at(c), out);
    }
}

std::vector<WinHandle> CFakeDesktop::descendantWindows(WinHandle parent) {
    ++descendantWalks;
    std::vector<WinHandle> out;
    if (const Window* w = find(parent)) walk(*w, out);
    return out;
}

std::uint32_t CFakeDesktop::style(WinHandle h) {
    const Window* w = find(h);
    return w ? w->style : 0;
}

std::uint32_t CFakeDesktop::exStyle(WinHandle h) {
    const Window* w = find(h);
    return w ? w->exStyle : 0;
}

void CFakeDesktop::setStyle(WinHandle h, std::uint32_t value) {
    m_calls.push_back({.kind = FakeCall::Kind::setStyle, .window = h, .value = value});
    Window* w = find(h);
    if (!w || w->hung || refuses(*w)) return;
    // The system keeps a minimised window minimised whatever style word it is given.
    w->style = value | (w->style & style::kMinimize);
}

void CFakeDesktop::setExStyle(WinHandle h, std::uint32_t value) {
    m_calls.push_back({.kind = FakeCall::Kind::setExStyle, .window = h, .value = value});
    if (h == m_restyled && m_meanwhile) std::exchange(m_meanwhile, nullptr)();
    Window* w = find(h);
    if (!w || w->hung || refuses(*w)) return;
    // Taking the layered style away forgets the attributes, as the system does.
    if (!(value & style::kExLayered)) w->layered.reset();
    // Only setTopmost moves a window into or out of the topmost band.
    w->exStyle = (value & ~style::kExTopmost) | (w->exStyle & style::kExTopmost);
}

Rect CFakeDesktop::windowRect(WinHandle h) {
    const Window* w = find(h);
    const Rect rect = w ? w->rect : Rect{};
    if (h == m_rectRead && m_afterRectRead) std::exchange(m_afterRectRead, nullptr)();
    return rect;
}

void CFakeDesktop::moveWindow(WinHandle h, const Rect& r, bool repaint, MoveWait wait) {
    m_calls.push_back(
        {.kind = FakeCall::Kind::moveWindow, .window = h, .rect = r, .flag = repaint, .wait = wait});
    Window* w = find(h);
    if (!w || refuses(*w)) return;
    // SetWindowPos on a minimised window moves its icon (GetWindowRect then tells the icon's
    // place); the window stays minimised and its normal place stays.
    if (w->style & style::kMinimize) {
        w->rect = Rect{r.left, r.top, r.left + kIconicWidth, r.top + kIconicHeight};
        return;
    }
    const int fromDpi = dpiAt(w->rect);
    w->rect = r;
    // Moved onto a monitor of another scale, a per-monitor-aware window gets WM_DPICHANGED
    // and takes the size it suggests.
    followScale(*w, fromDpi, dpiAt(r));
}

WindowPlacement CFakeDesktop::placement(WinHandle h) {
    if (!isWindow(h)) return {};
    WindowPlacement placement;
    placement.showCmd = isIconic(h) ? kShowMinimize : 1;
    const auto scripted = scriptedNormalRect.find(h);
    placement.normal = scripted != scriptedNormalRect.end() ? scripted->second : normalRect(h);
    return placement;
}

void CFakeDesktop::setPlacement(WinHandle h, const WindowPlacement& placement) {
    m_calls.push_back({.kind = FakeCall::Kind::setPlacement, .window = h, .placement = placement});
    restore(h);
    setRect(h, placement.normal);
    if (placement.showCmd == kShowMinimize) minimize(h);
}

void CFakeDesktop::setRedraw(WinHandle h, bool on) {
    m_calls.push_back({.kind = FakeCall::Kind::setRedraw, .window = h, .flag = on});
}

void CFakeDesktop::showNormal(WinHandle h) {
    m_calls.push_back({.kind = FakeCall::Kind::showNormal, .window = h});
    restore(h);
    setVisible(h, true);
}

void CFakeDesktop::minimizeByCommand(WinHandle h) {
    m_calls.push_back({.kind = FakeCall::Kind::minimizeByCommand, .window = h});
    minimize(h);
}

ChangeResult CFakeDesktop::setTopmost(WinHandle h, bool topmost, Activation activation) {
    m_calls.push_back(
        {.kind = FakeCall::Kind::setTopmost, .window = h, .flag = topmost, .activation = activation});
    Window* w = find(h);
    if (!w) {
        fails("SetWindowPos", fakeerror::kInvalidWindowHandle);
        return ChangeResult::failed;
    }
    if (refuses(*w)) {
        fails("SetWindowPos", fakeerror::kAccessDenied);
        return ChangeResult::denied;
    }
    if (topmost && w->marksTopmost) w->exStyle |= style::kExTopmost;
    if (!topmost) w->exStyle &= ~style::kExTopmost;
    bringToTop(h);
    // SetWindowPos: "If [SWP_NOACTIVATE] is not set, the window is activated", and with it the
    // keyboard goes from the window the user types in.
    if (activation == Activation::activates) m_foreground = h;
    return ChangeResult::done;
}

std::optional<LayeredAttributes> CFakeDesktop::layeredAttributes(WinHandle h) {
    const Window* w = find(h);
    if (!w || !(w->exStyle & style::kExLayered)) return std::nullopt;
    return w->layered;
}

bool CFakeDesktop::setLayeredAttributes(WinHandle h, const LayeredAttributes& attributes) {
    m_calls.push_back({.kind = FakeCall::Kind::setLayeredAttributes, .window = h, .layered = attributes});
    Window* w = find(h);
    constexpr char kCall[] = "SetLayeredWindowAttributes";
    if (!w) return fails(kCall, fakeerror::kInvalidWindowHandle);
    if (refuses(*w)) return fails(kCall, fakeerror::kAccessDenied);
    if (!(w->exStyle & style::kExLayered)) return fails(kCall, fakeerror::kInvalidParameter);
    w->layered = attributes;
    return true;
}

std::uint32_t CFakeDesktop::windowProcessId(WinHandle h) {
    const Window* w = find(h);
    return w ? w->pid : 0;
}

std::string CFakeDesktop::processBaseName(std::uint32_t processId, ProcessAccess access) {
    ++processBaseNameCalls;
    const Process* process = opened(processId, access);
    return process ? process->baseName : std::string();
}

std::string CFakeDesktop::processImagePath(std::uint32_t processId, ProcessAccess access) {
    ++processImagePathCalls;
    const Process* process = opened(processId, access);
    return process ? process->imagePath : std::string();
}

ProcessHold CFakeDesktop::holdProcess(std::uint32_t processId) {
    const auto it = m_processes.find(processId);
    if (it == m_processes.end()) return kNoProcessHold;
    m_holds[m_nextHold] = {processId, it->second.startTime};
    return m_nextHold++;
}

bool CFakeDesktop::processEnded(ProcessHold hold) {
    ++processEndedCalls;
    const auto& [pid, startTime] = m_holds.at(hold);
    const auto it = m_processes.find(pid);
    return it == m_processes.end() || it->second.startTime != startTime;
}

void CFakeDesktop::releaseProcess(ProcessHold hold) {
    if (m_holds.erase(hold) == 0) throw std::logic_error("a process hold released twice");
}

const MonitorRecord* CFakeDesktop::monitorOf(const std::vector<MonitorRecord>& monitors, const Rect& r) {
    const auto shared = [&r](const MonitorRecord& m) -> std::int64_t {
        const std::int64_t w = std::min(r.right, m.monitor.right) - std::max(r.left, m.monitor.left);
        const std::int64_t h = std::min(r.bottom, m.monitor.bottom) - std::max(r.top, m.monitor.top);
        return w > 0 && h > 0 ? w * h : 0;
    };
    const auto most = std::max_element(
        monitors.begin(), monitors.end(),
        [&](const MonitorRecord& a, const MonitorRecord& b) { return shared(a) < shared(b); });
    return most == monitors.end() || shared(*most) == 0 ? nullptr : &*most;
}

int CFakeDesktop::dpiAt(const Rect& r) const {
    if (const MonitorRecord* m = monitorOf(m_monitors, r)) return m->dpi;
    return m_monitors.empty() ? MonitorRecord{}.dpi : m_monitors.front().dpi;
}

int CFakeDesktop::monitorDpi(WinHandle h) {
    ++monitorDpiCalls;
    return dpiAt(windowRect(h));
}

void CFakeDesktop::followScale(Window& w, int fromDpi, int toDpi) {
    if (!w.perMonitorAware || fromDpi == toDpi || (w.style & (style::kMinimize | style::kMaximize))) return;
    const Rect r = w.rect;
    w.rect = Rect{r.left, r.top, r.left + scaleBetweenDpis(r.width(), fromDpi, toDpi),
                  r.top + scaleBetweenDpis(r.height(), fromDpi, toDpi)};
}

std::optional<Rect> CFakeDesktop::visibleFrame(WinHandle h) {
    ++visibleFrameCalls;
    const Window* w = find(h);
    if (!w || !framesKnown) return std::nullopt;
    const Rect& r = w->rect;
    if (w->parent != kNoWindow || !(w->style & kThickFrame) ||
        (w->style & (style::kMinimize | style::kMaximize)))
        return r;
    const int border = scaleToDpi(kResizeBorder, dpiAt(r));
    return Rect{r.left + border, r.top, r.right - border, r.bottom - border};
}

void CFakeDesktop::changeDisplays(std::vector<MonitorRecord> monitors) {
    const std::vector<MonitorRecord> before = std::exchange(m_monitors, std::move(monitors));
    const MonitorRecord* primary = m_monitors.empty() ? nullptr : &m_monitors.front();
    for (const MonitorRecord& m : m_monitors) {
        if (m.flags == 1) primary = &m;
    }
    for (const WinHandle h : m_zOrder) {
        Window& w = m_windows.at(h);
        const bool parked = (w.style & (style::kMinimize | style::kMaximize)) != 0;
        Rect& place = parked ? w.restoreRect : w.rect;
        const MonitorRecord* was = monitorOf(before, place);
        const int fromDpi = was ? was->dpi : MonitorRecord{}.dpi;
        // A window no monitor shows any more goes to the primary monitor, at the same place
        // relative to its corner as on the monitor it had, as far as it fits there.
        if (primary && was && !monitorOf(m_monitors, place)) {
            const int dx = primary->monitor.left - was->monitor.left;
            const int dy = primary->monitor.top - was->monitor.top;
            place = movedInside(Rect{place.left + dx, place.top + dy, place.right + dx, place.bottom + dy},
                                primary->work);
        }
        if (!parked) followScale(w, fromDpi, dpiAt(w.rect));
    }
    if (onDisplayChange) onDisplayChange();
}

void CFakeDesktop::dropTopmost(WinHandle h) {
    Window* w = find(h);
    if (!w) return;
    w->exStyle &= ~style::kExTopmost;
    bringToTop(h);
}

bool CFakeDesktop::hotKeyTaken(unsigned modifiers, unsigned vk) const {
    // Whether the keys repeat is the registrant's business, not part of the combination.
    const auto combination = [](unsigned mods, unsigned key) {
        return std::pair<unsigned, unsigned>{mods & ~unsigned{hotkeymod::kNoRepeat}, key};
    };
    if (m_heldElsewhere.count(combination(modifiers, vk))) return true;
    return std::any_of(m_hotKeys.begin(), m_hotKeys.end(), [&](const auto& entry) {
        return combination(entry.second.first, entry.second.second) == combination(modifiers, vk);
    });
}

bool CFakeDesktop::registerHotKey(WinHandle owner, int id, unsigned modifiers, unsigned vk) {
    const bool ok = !m_hotKeys.count({owner, id}) && !hotKeyTaken(modifiers, vk);
    m_calls.push_back({.kind = FakeCall::Kind::registerHotKey,
                       .window = owner,
                       .flag = ok,
                       .value = modifiers,
                       .vk = vk,
                       .id = id});
    if (!ok) return fails("RegisterHotKey", fakeerror::kHotKeyAlreadyRegistered);
    m_hotKeys[{owner, id}] = {modifiers, vk};
    return true;
}

void CFakeDesktop::unregisterHotKey(WinHandle owner, int id) {
    m_calls.push_back({.kind = FakeCall::Kind::unregisterHotKey, .window = owner, .id = id});
    m_hotKeys.erase({owner, id});
}

MsgAnswer CFakeDesktop::answer(FakeMessageBox box) {
    if (answerQueue.empty()) {
        box.answer = box.buttons == MsgButtons::yesNo ? MsgAnswer::no : MsgAnswer::ok;
    } else {
        box.answer = answerQueue.front();
        answerQueue.pop_front();
    }
    messageBoxes.push_back(box);
    // A copy: the callback may raise boxes of its own, which grows the record.
    runModalLoop(box.owner, [this, &box] {
        if (onMessageBox) onMessageBox(box);
    });
    return box.answer;
}

void CFakeDesktop::setTimer(WinHandle h, unsigned id, unsigned ms, std::function<void()> fire) {
    if (!find(h)) return;
    m_timers[{h, id}] = Timer{ms, m_nowMs + ms, std::move(fire)};
}

void CFakeDesktop::killTimer(WinHandle h, unsigned id) { m_timers.erase({h, id}); }

std::map<unsigned, unsigned> CFakeDesktop::timersOf(WinHandle h) const {
    std::map<unsigned, unsigned> out;
    for (const auto& [key, timer] : m_timers) {
        if (key.first == h) out[key.second] = timer.period;
    }
    return out;
}

void CFakeDesktop::runFor(std::uint64_t ms) {
    const std::uint64_t end = m_nowMs + ms;
    while (true) {
        deliverEvents();
        const auto next =
            std::min_element(m_timers.begin(), m_timers.end(),
                             [](const auto& a, const auto& b) { return a.second.due < b.second.due; });
        if (next == m_timers.end() || next->second.due > end) break;
        // A nested loop inside an earlier timer may have run the clock past this one's time.
        if (next->second.due > m_nowMs) m_nowMs = next->second.due;
        // A window timer fires again one period later unless its handler sets it anew; the
        // handler may kill it, destroy its window or open a nested loop, so it runs on a copy.
        next->second.due = m_nowMs + next->second.period;
        const std::function<void()> fire = next->second.fire;
        fire();
    }
    if (end > m_nowMs) m_nowMs = end;
}

void CFakeDesktop::runModalLoop(WinHandle owner, const std::function<void()>& whileOpen) {
    const bool disables = isWindow(owner) && isEnabled(owner);
    if (disables) setEnabled(owner, false);
    whileOpen();
    runFor(modalOpenMs);
    if (disables) setEnabled(owner, true);
}

MsgAnswer CFakeDesktop::messageBox(WinHandle owner, std::u8string_view text, std::u8string_view caption,
                                   MsgButtons buttons, MsgIcon icon) {
    return answer({.owner = owner,
                   .text = std::u8string(text),
                   .caption = std::u8string(caption),
                   .buttons = buttons,
                   .icon = icon,
                   .appBox = false});
}

MsgAnswer CFakeDesktop::programBox(WinHandle owner, std::u8string_view text, MsgButtons buttons,
                                   MsgIcon icon) {
    return answer(
        {.owner = owner, .text = std::u8string(text), .buttons = buttons, .icon = icon, .appBox = true});
}

std::string CFakeDesktop::keyName(unsigned vk) {
    if (const auto it = m_keyNames.find(vk); it != m_keyNames.end()) return it->second;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, static_cast<char>(vk));
    if (vk >= kVkF1 && vk <= kVkF24) return "F" + std::to_string(vk - kVkF1 + 1);
    return {};
}
