// A scripted desktop for the unit tests: a world of windows and processes that the logic
// reads and changes through CDesktop, with recorded calls, message boxes that answer from a
// script, a hotkey registry and a virtual clock.
//
// The world in brief:
// - Top-level windows are kept in Z order; addWindow puts a new window at the bottom, so a
//   test lists its windows from the top down. setTopmost moves a window to the top of its
//   band, as the system does.
// - Each window's style word is the one truth for its state: visible is kVisible, enabled is
//   the absence of kDisabled, zoomed is kMaximize, iconic is kMinimize. isVisible also asks
//   every ancestor, like IsWindowVisible. As with the system, setStyle cannot take kMinimize
//   away from a minimised window and setExStyle cannot change kExTopmost (setTopmost can).
// - A window's text is both its title (windowTitle) and its control text (controlText), as
//   data text (base/DataText.h): a test gives a text outside the code page in the marked form
//   (dataTextFromUtf8), and reads cut it as the wide calls do. A
//   "hung" window answers controlText with nullopt and answers() with false; its title stays
//   readable, since the system reads another program's title without asking that program.
//   setStyle and setExStyle leave a hung window as it is (the call is still recorded).
// - Children form a tree; descendantWindows walks it depth-first in pre-order, children in
//   the order they were added, like EnumChildWindows.
// - Handles are never reused: a destroyed window's handle stays dead.
// - Layered attributes exist only while the extended style has kExLayered, and
//   setLayeredAttributes fails (error 87) on a window without it, as the system's call does.
// - Message boxes answer from answerQueue; when it is empty an OK box answers ok and a
//   Yes/No box answers no, the choice that changes nothing.
// - Timers belong to windows and run on the virtual clock; a destroyed window's timers go
//   with it. A message box, a modal dialog and a popup menu run a nested loop, as the
//   system's do: while one is open, its scripted events happen and every timer that falls
//   due within modalOpenMs fires. A message box or dialog disables its owner meanwhile.
// - A process may run elevated: the windows of an elevated process cannot be moved,
//   reordered, restyled or made transparent (error 5), and runsElevated says so unless the
//   process was elevated unseen. Its names are read with the limited query only: asked with
//   full rights, an elevated process has none.
// - setTopmost activates the window (it becomes the foreground window) unless asked not to.
// - A window may be cloaked (cloak::k… bits): still visible to the system, not on the screen.
// - A hotkey combination registered by anyone, held by another program or reserved by the
//   system cannot be registered again (error 1409); neither can an (owner, id) that is still
//   registered. MOD_NOREPEAT makes no other combination. Win+Z is reserved from the start,
//   as on Windows 10 and 11.
// - Displays: changeDisplays moves every window that no monitor shows any more onto the
//   primary one, has each per-monitor-aware window take the size its new scale suggests, and
//   then sends the display change (onDisplayChange), as Windows does when a monitor goes or
//   its resolution or scale changes. Moving a per-monitor-aware window onto a monitor of
//   another scale resizes it too.
// - Moving a minimised window moves its icon: it stays minimised, at the icon's size.
// - A sizable frame has invisible resize borders: visibleFrame (the extended frame bounds)
//   is the window rectangle less 7 px at 96 DPI on the left, right and bottom.
// - Window events, as the system reports them out of context: addWindow, setVisible(true) and
//   setText of a top-level window queue created, shown and renamed for onWindowEvent, which
//   hears them only when the thread next handles its messages (runFor, a nested loop), before
//   the timers that fall due then. eventsLikeWine keeps only created, as Wine 8 does.
#pragma once

#include "desktop/Desktop.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// Error codes the fake's failed calls trace, as the system's would.
namespace fakeerror {
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kInvalidWindowHandle = 1400;
constexpr std::uint32_t kHotKeyAlreadyRegistered = 1409;
}  // namespace fakeerror

// WS_OVERLAPPEDWINDOW: caption, system menu, sizing frame, minimise and maximise boxes.
constexpr std::uint32_t kFakeFrameStyle = 0x00CF0000;
// WS_CHILD.
constexpr std::uint32_t kFakeChildStyle = 0x40000000;

// How a top-level window is made. The four state flags override the matching bits of style.
struct FakeWindowSetup {
    std::string title{};
    std::string className = "FakeFrame";
    std::uint32_t pid = 0;
    Rect rect{100, 100, 500, 400};
    bool visible = true;
    bool enabled = true;
    bool zoomed = false;
    bool iconic = false;
    std::uint32_t style = kFakeFrameStyle;
    std::uint32_t exStyle = 0;
    // Set when the window starts layered with these attributes (kExLayered is added).
    std::optional<LayeredAttributes> layered{};
    // Takes the rectangle the system suggests when its monitor's scale changes (WM_DPICHANGED).
    bool perMonitorAware = false;
    // False as under Wine, which leaves the owner of another program's popup (a pinned window)
    // unmarked when it is moved into the topmost band.
    bool marksTopmost = true;
};

// One call that changed the world, in the order the logic made it.
struct FakeCall {
    enum class Kind {
        moveWindow,
        setPlacement,
        setRedraw,
        showNormal,
        minimizeByCommand,
        setTopmost,
        setStyle,
        setExStyle,
        setLayeredAttributes,
        registerHotKey,
        unregisterHotKey
    };
    Kind kind = Kind::moveWindow;
    WinHandle window = kNoWindow;
    Rect rect{};  // moveWindow
    // moveWindow: repaint; setRedraw: on; setTopmost: topmost; registerHotKey: success
    bool flag = false;
    MoveWait wait = MoveWait::no;              // moveWindow
    std::uint32_t value = 0;                   // setStyle/setExStyle: the new value; hotkeys: modifiers
    unsigned vk = 0;                           // registerHotKey
    int id = 0;                                // hotkeys
    LayeredAttributes layered{};               // setLayeredAttributes
    WindowPlacement placement{};               // setPlacement
    Activation activation = Activation::none;  // setTopmost

    bool operator==(const FakeCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const FakeCall& call);

// One message box the logic raised.
struct FakeMessageBox {
    WinHandle owner = kNoWindow;
    std::u8string text{};
    std::u8string caption{};  // empty for the program's standard box, whose caption the system adds
    MsgButtons buttons = MsgButtons::ok;
    MsgIcon icon = MsgIcon::none;
    bool appBox = false;  // raised through appMessageBox
    MsgAnswer answer = MsgAnswer::ok;
};

class CFakeDesktop : public CDesktop {
public:
    CFakeDesktop();

    // --- building the world ---

    // A top-level window at the bottom of the Z order.
    WinHandle addWindow(const FakeWindowSetup& setup);
    // A visible, enabled frame window of a new process with these names.
    WinHandle addAppWindow(const std::string& title, const std::string& baseName,
                           const std::string& imagePath, const Rect& rect = Rect{100, 100, 500, 400});
    // A child control, last among parent's children; it belongs to parent's process.
    WinHandle addChild(WinHandle parent, const std::string& className, int id, const std::string& text,
                       bool visible = true, bool enabled = true);
    // h now belongs to process pid: another program's window under a parent, as a Store app's
    // window sits in the frame of its host.
    void setWindowProcess(WinHandle h, std::uint32_t pid);
    // A process; empty names make a process whose names cannot be read. Each call starts a
    // new process, even under an id used before, but never under an id still held open: the
    // system gives no such id to another process (a std::logic_error).
    void addProcess(std::uint32_t pid, const std::string& baseName, const std::string& imagePath);
    // A pid not used by any process yet.
    std::uint32_t newProcessId();
    // The process ends: its names can no longer be read (its windows stay, as handles do).
    void endProcess(std::uint32_t pid);
    // The process runs with higher rights than Clavora; unseen, runsElevated cannot tell.
    void elevate(std::uint32_t pid, bool seen = true);

    // --- changing the world behind the logic's back (the user, other programs) ---

    void setText(WinHandle h, const std::string& text);
    void setVisible(WinHandle h, bool visible);
    void setEnabled(WinHandle h, bool enabled);
    void setRect(WinHandle h, const Rect& r);
    void setHung(WinHandle h, bool hung);
    // Maximise: zoomed, covering the work area. Minimise: iconic, parked off every monitor at
    // (-32000, -32000). restore brings back the rectangle from before either.
    void maximize(WinHandle h);
    void minimize(WinHandle h);
    void restore(WinHandle h);
    // Destroys h and all its descendants.
    void destroyWindow(WinHandle h);
    // Where restore would put h: its rectangle from before it was minimised or maximised, or
    // its rectangle as it is.
    Rect normalRect(WinHandle h);
    // Moves a top-level window to the top of its band.
    void bringToTop(WinHandle h);
    void setForegroundWindow(WinHandle h) { m_foreground = h; }
    // Cloaks h (cloak::k… bits; 0 uncloaks): its program hid it, or the shell did (another
    // virtual desktop), or its owner is cloaked.
    void setCloak(WinHandle h, std::uint32_t bits);
    // The window that owns the program's standard message boxes.
    void setActiveWindow(WinHandle h) { m_active = h; }

    void setMonitors(std::vector<MonitorRecord> monitors) { m_monitors = std::move(monitors); }
    // The display setup changes to monitors (one went, a resolution or scale changed), with
    // what Windows does to the windows, and then the display change is sent.
    void changeDisplays(std::vector<MonitorRecord> monitors);
    // WM_DISPLAYCHANGE, as Clavora's main window receives it.
    std::function<void()> onDisplayChange;
    // The window's program takes it out of the topmost band itself (SetWindowPos with
    // HWND_NOTOPMOST), as some programs do with their own windows.
    void dropTopmost(WinHandle h);
    void setDesktopRect(const Rect& r) { m_desktopRect = r; }
    void setWorkArea(const Rect& r) { m_workArea = r; }
    // Another program (or the system) holds this combination: registering it fails with 1409.
    void holdHotKeyElsewhere(unsigned modifiers, unsigned vk);
    // Nobody else holds it any more; for Win+Z: a system before Windows 10.
    void releaseHotKeyElsewhere(unsigned modifiers, unsigned vk) { m_heldElsewhere.erase({modifiers, vk}); }
    void setKeyName(unsigned vk, const std::string& name) { m_keyNames[vk] = name; }

    // --- what tests look at ---

    const std::vector<FakeCall>& calls() const { return m_calls; }
    std::vector<FakeCall> callsOf(FakeCall::Kind kind) const;
    void clearCalls() { m_calls.clear(); }
    // The (modifiers, vk) registered under (owner, id), or nullopt.
    std::optional<std::pair<unsigned, unsigned>> registeredHotKey(WinHandle owner, int id) const;
    std::size_t registeredHotKeyCount() const { return m_hotKeys.size(); }

    // --- timers and nested loops ---

    // SetTimer of window h: fire runs every ms milliseconds until killed or h is destroyed.
    void setTimer(WinHandle h, unsigned id, unsigned ms, std::function<void()> fire);
    void killTimer(WinHandle h, unsigned id);
    // h's running timers: id -> period.
    std::map<unsigned, unsigned> timersOf(WinHandle h) const;
    // Fires every timer that falls due up to now + ms, in time order, moving the clock.
    void runFor(std::uint64_t ms);
    // A nested modal loop: owner (if any) disabled, whileOpen (the user, other programs), then
    // modalOpenMs of timers, owner enabled again if it still exists.
    void runModalLoop(WinHandle owner, const std::function<void()>& whileOpen);
    // How long each box, dialog and menu stays open on the virtual clock.
    std::uint64_t modalOpenMs = 1000;

    std::vector<FakeMessageBox> messageBoxes;
    // Answers for the next message boxes, front first.
    std::deque<MsgAnswer> answerQueue;
    // Runs while a box is "open", before it answers: the place for what a nested modal loop
    // would do meanwhile (timers firing, windows closing).
    std::function<void(const FakeMessageBox&)> onMessageBox;
    // Runs meanwhile once, the next time window h is given an extended style: on Windows a
    // window of another thread takes it while Clavora's thread waits, handling the messages
    // sent to it.
    void duringNextRestyleOf(WinHandle h, std::function<void()> meanwhile) {
        m_restyled = h;
        m_meanwhile = std::move(meanwhile);
    }

    // Runs once right after window h's rectangle is next read: what its user or program did
    // between two of Clavora's questions.
    void afterNextRectRead(WinHandle h, std::function<void()> meanwhile) {
        m_rectRead = h;
        m_afterRectRead = std::move(meanwhile);
    }

    // Where window events go (none: they are dropped); and only creations, as under Wine.
    std::function<void(WindowEvent)> onWindowEvent;
    bool eventsLikeWine = false;
    // The windows of this process (the pins') are not told of: Clavora's hook skips its own.
    std::uint32_t ownProcessId = 0;

    // How often the logic asked: process lookups are costly, child walks even more.
    int processBaseNameCalls = 0;
    int processImagePathCalls = 0;
    int processEndedCalls = 0;
    int descendantWalks = 0;
    int controlTextCalls = 0;
    int answersCalls = 0;
    int cloakCalls = 0;
    int enumerations = 0;
    // A pin's hold asks these of its target.
    int monitorDpiCalls = 0;
    int visibleFrameCalls = 0;
    // The time each answers call gave, in order.
    std::vector<unsigned> answerTimeoutsMs;
    // Normal places that differ from what the world says (an empty one, say).
    std::map<WinHandle, Rect> scriptedNormalRect;

    // The virtual clock, in milliseconds since the world began.
    std::uint64_t nowMs() const { return m_nowMs; }
    void advance(std::uint64_t ms) { m_nowMs += ms; }

    // --- CDesktop ---

    std::vector<WinHandle> topLevelWindows() override {
        ++enumerations;
        return m_zOrder;
    }
    bool isWindow(WinHandle h) override;
    bool isVisible(WinHandle h) override;
    bool isEnabled(WinHandle h) override;
    bool isZoomed(WinHandle h) override;
    // The minimised state, as IsIconic tells it (the logic reads it from the style word).
    bool isIconic(WinHandle h);
    std::string windowTitle(WinHandle h, std::size_t bufferBytes) override;
    std::optional<std::string> controlText(WinHandle h, std::size_t maxChars) override;
    using CDesktop::answers;
    bool answers(WinHandle h, unsigned timeoutMs) override;
    std::string className(WinHandle h, std::size_t maxChars) override;
    int controlId(WinHandle h) override;
    WindowInfo windowInfo(WinHandle h) override;
    std::vector<WinHandle> descendantWindows(WinHandle parent) override;
    std::uint32_t style(WinHandle h) override;
    std::uint32_t exStyle(WinHandle h) override;
    void setStyle(WinHandle h, std::uint32_t value) override;
    void setExStyle(WinHandle h, std::uint32_t value) override;
    Rect windowRect(WinHandle h) override;
    using CDesktop::moveWindow;
    void moveWindow(WinHandle h, const Rect& r, bool repaint, MoveWait wait) override;
    // Placements come from the world: a window's normal place is its rectangle, or for a
    // minimised or maximised one the place it is restored to, unless scriptedNormalRect has one.
    WindowPlacement placement(WinHandle h) override;
    void setPlacement(WinHandle h, const WindowPlacement& placement) override;
    void setRedraw(WinHandle h, bool on) override;
    void showNormal(WinHandle h) override;
    void minimizeByCommand(WinHandle h) override;
    ChangeResult setTopmost(WinHandle h, bool topmost, Activation activation) override;
    std::optional<LayeredAttributes> layeredAttributes(WinHandle h) override;
    [[nodiscard]] bool setLayeredAttributes(WinHandle h, const LayeredAttributes& attributes) override;
    WinHandle foregroundWindow() override { return m_foreground; }
    std::uint32_t cloak(WinHandle h) override;
    std::uint32_t windowProcessId(WinHandle h) override;
    std::string processBaseName(std::uint32_t processId, ProcessAccess access) override;
    std::string processImagePath(std::uint32_t processId, ProcessAccess access) override;
    ProcessHold holdProcess(std::uint32_t processId) override;
    bool processEnded(ProcessHold hold) override;
    void releaseProcess(ProcessHold hold) override;
    // How many processes the logic holds open now.
    std::size_t heldProcessCount() const { return m_holds.size(); }
    bool runsElevated(std::uint32_t processId) override;
    std::vector<MonitorRecord> enumerateMonitors() override { return m_monitors; }
    Rect desktopRect() override { return m_desktopRect; }
    Rect workArea() override { return m_workArea; }
    // The DPI of the monitor sharing most pixels with the window; the first monitor's
    // (96 without monitors) when none does.
    int monitorDpi(WinHandle h) override;
    std::optional<Rect> visibleFrame(WinHandle h) override;
    // Off: the system cannot tell the visible frame (no composition, Wine).
    bool framesKnown = true;
    [[nodiscard]] bool registerHotKey(WinHandle owner, int id, unsigned modifiers, unsigned vk) override;
    void unregisterHotKey(WinHandle owner, int id) override;
    MsgAnswer messageBox(WinHandle owner, std::u8string_view text, std::u8string_view caption,
                         MsgButtons buttons, MsgIcon icon) override;
    using CDesktop::appMessageBox;
    MsgAnswer programBox(WinHandle owner, std::u8string_view text, MsgButtons buttons, MsgIcon icon) override;
    WinHandle activeWindow() override { return m_active; }
    // Letters and digits name themselves, F1-F24 their number; others are "" unless set.
    std::string keyName(unsigned vk) override;

private:
    struct Window {
        WinHandle parent = kNoWindow;
        std::vector<WinHandle> children;
        std::string text;
        std::string className;
        std::uint32_t pid = 0;
        Rect rect;
        Rect restoreRect;
        std::uint32_t style = 0;
        std::uint32_t exStyle = 0;
        int controlId = 0;
        bool hung = false;
        bool perMonitorAware = false;
        bool marksTopmost = true;
        std::uint32_t cloak = 0;
        std::optional<LayeredAttributes> layered;
    };
    struct Timer {
        unsigned period = 0;
        std::uint64_t due = 0;
        std::function<void()> fire;
    };
    struct Process {
        std::string baseName;
        std::string imagePath;
        std::uint64_t startTime = 0;
        bool elevated = false;
        bool elevationSeen = false;
    };

    WinHandle newHandle();
    // nullptr for a handle that is not (or no longer) a window.
    Window* find(WinHandle h);
    void setStateBit(WinHandle h, std::uint32_t bit, bool on);
    // The window belongs to an elevated process: the call is refused with error 5.
    bool refuses(const Window& w);
    // The process as its names are read with access; nullptr when it cannot be opened so.
    const Process* opened(std::uint32_t processId, ProcessAccess access);
    // A failed call, traced as the real desktop traces it; false.
    static bool fails(const char* call, std::uint32_t error);
    void walk(const Window& w, std::vector<WinHandle>& out) const;
    // The monitor sharing most pixels with r among monitors, or nullptr when none does.
    static const MonitorRecord* monitorOf(const std::vector<MonitorRecord>& monitors, const Rect& r);
    int dpiAt(const Rect& r) const;
    // A per-monitor-aware window takes the size of its new scale, keeping its top-left corner.
    static void followScale(Window& w, int fromDpi, int toDpi);
    MsgAnswer answer(FakeMessageBox box);
    bool hotKeyTaken(unsigned modifiers, unsigned vk) const;
    void queueEvent(WinHandle h, WindowEvent event);
    void deliverEvents();

    // Hashed: the benchmarks run worlds of thousands of windows through it.
    std::unordered_map<WinHandle, Window> m_windows;
    std::vector<WinHandle> m_zOrder;
    std::map<std::uint32_t, Process> m_processes;
    // Each hold names its process by id and start time.
    std::map<ProcessHold, std::pair<std::uint32_t, std::uint64_t>> m_holds;
    ProcessHold m_nextHold = 1;
    std::map<std::pair<WinHandle, int>, std::pair<unsigned, unsigned>> m_hotKeys;
    std::set<std::pair<unsigned, unsigned>> m_heldElsewhere;
    std::map<unsigned, std::string> m_keyNames;
    std::map<std::string, std::uint16_t> m_classAtoms;
    std::vector<FakeCall> m_calls;
    std::map<std::pair<WinHandle, unsigned>, Timer> m_timers;
    std::deque<WindowEvent> m_events;
    std::vector<MonitorRecord> m_monitors;
    WinHandle m_restyled{};
    std::function<void()> m_meanwhile;
    WinHandle m_rectRead = kNoWindow;
    std::function<void()> m_afterRectRead;
    Rect m_desktopRect;
    Rect m_workArea;
    WinHandle m_foreground = kNoWindow;
    WinHandle m_active = kNoWindow;
    std::uintptr_t m_nextHandle = 0x10000;
    std::uint32_t m_nextPid = 1000;
    std::uint64_t m_nextStartTime = 1;
    std::uint64_t m_nowMs = 0;
};
