// The desktop seam: everything the logic needs of other programs' windows and of the
// system, phrased in Clavora's own terms. CWin32Desktop carries it out with the real
// calls; the tests use a scripted fake world.
#pragma once

#include "base/DesktopTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class MsgButtons { ok, yesNo };
enum class MsgIcon { none, exclamation, question, information };
enum class MsgAnswer { ok, yes, no, cancel };

// How a change of another program's window went. denied: the window belongs to a program
// that runs with higher rights than Clavora, which the system does not let it change.
enum class ChangeResult { done, denied, failed };

// Whether a move waits until the window's program has carried it out.
enum class MoveWait { no, forTarget };

// Whether a change of Z order also activates the window, as the system does unless told not
// to. Activating another program's window takes the keyboard from the window being typed in.
enum class Activation { activates, none };

// The rights a process is opened with to read its executable's name. The limited query is
// granted for every process of the session; full rights (query and memory reads, which the
// module list needs) are refused for a process that runs with higher rights than Clavora.
enum class ProcessAccess { limited, full };
// A process kept open (its handle's bits); see CDesktop::holdProcess.
using ProcessHold = std::uintptr_t;
constexpr ProcessHold kNoProcessHold = 0;

// Why the system keeps a window off the screen although it counts as visible: bits that may
// come together.
namespace cloak {
// Its own program hid it (the frame of a suspended or closed Store app).
constexpr std::uint32_t kByProgram = 0x1;
// The shell hid it: among others, every window on another virtual desktop.
constexpr std::uint32_t kByShell = 0x2;
// It is hidden because its owner is.
constexpr std::uint32_t kInherited = 0x4;
}  // namespace cloak

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    constexpr bool operator==(const ScreenPoint&) const = default;
};

// A window's placement as the system keeps it.
struct WindowPlacement {
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0;
    ScreenPoint minPosition;
    ScreenPoint maxPosition;
    // Where the window is when it is neither minimised nor maximised.
    Rect normal;
    constexpr bool operator==(const WindowPlacement&) const = default;
};

// What the system tells of a top-level window of another program as it happens (window
// events): it was created, shown, retitled, or hidden or shown by the window manager without
// its program (cloaked, uncloaked).
enum class WindowEvent { created, shown, renamed, cloakChanged };

// The show command of a placement that minimises the window.
constexpr std::uint32_t kShowMinimize = 6;
// How long a program is given to answer before it counts as not handling its messages.
constexpr unsigned kAnswerTimeoutMs = 200;

// A call that fails traces itself with the system's error code where it fails.
class CDesktop {
public:
    virtual ~CDesktop() = default;

    // --- windows of any program ---

    // Every top-level window in the order the system enumerates them (Z order, topmost first).
    virtual std::vector<WinHandle> topLevelWindows() = 0;
    virtual bool isWindow(WinHandle h) = 0;
    virtual bool isVisible(WinHandle h) = 0;
    virtual bool isEnabled(WinHandle h) = 0;
    virtual bool isZoomed(WinHandle h) = 0;
    // The title as data text (base/DataText.h), read wide into a buffer of bufferBytes
    // characters and cut by dataTextCut (code-page text to at most bufferBytes - 1 bytes, as
    // the ANSI call gave it); "" when it cannot be read.
    virtual std::string windowTitle(WinHandle h, std::size_t bufferBytes) = 0;
    // A child's text as data text, read with WM_GETTEXT into a buffer of maxChars (terminator
    // included) and cut as windowTitle's.
    // nullopt when the owning program does not answer in time: a hung target must not
    // freeze Clavora.
    virtual std::optional<std::string> controlText(WinHandle h, std::size_t maxChars) = 0;
    // Whether the program that owns h handles its messages: it is asked, and given timeoutMs
    // to answer. A stopped or busy program gives false; nothing waits on it longer.
    virtual bool answers(WinHandle h, unsigned timeoutMs) = 0;
    bool answers(WinHandle h) { return answers(h, kAnswerTimeoutMs); }
    // Class name, at most maxChars - 1 bytes.
    virtual std::string className(WinHandle h, std::size_t maxChars) = 0;
    virtual int controlId(WinHandle h) = 0;
    virtual WindowInfo windowInfo(WinHandle h) = 0;
    // Every descendant of parent in EnumChildWindows order; empty when parent is gone.
    virtual std::vector<WinHandle> descendantWindows(WinHandle parent) = 0;
    virtual std::uint32_t style(WinHandle h) = 0;
    virtual std::uint32_t exStyle(WinHandle h) = 0;
    // A window of another program that does not answer keeps its styles: changing them
    // would wait on that program, and a stopped one would freeze Clavora.
    virtual void setStyle(WinHandle h, std::uint32_t value) = 0;
    virtual void setExStyle(WinHandle h, std::uint32_t value) = 0;
    virtual Rect windowRect(WinHandle h) = 0;
    // Moves h to r (x, y, width and height taken from r). A window of another program is
    // asked to move and follows when its program gets to it; nothing waits for that unless
    // wait says so.
    virtual void moveWindow(WinHandle h, const Rect& r, bool repaint, MoveWait wait) = 0;
    void moveWindow(WinHandle h, const Rect& r, bool repaint) { moveWindow(h, r, repaint, MoveWait::no); }
    // The placement; a zeroed one when it cannot be read.
    virtual WindowPlacement placement(WinHandle h) = 0;
    virtual void setPlacement(WinHandle h, const WindowPlacement& placement) = 0;
    // Whether h redraws itself while it changes.
    virtual void setRedraw(WinHandle h, bool on) = 0;
    // Shown and restored to its normal place.
    virtual void showNormal(WinHandle h) = 0;
    // Minimised as its own minimise box would do it.
    virtual void minimizeByCommand(WinHandle h) = 0;
    // Into (or out of) the topmost band, neither moving nor sizing; asked like moveWindow.
    virtual ChangeResult setTopmost(WinHandle h, bool topmost, Activation activation) = 0;
    virtual std::optional<LayeredAttributes> layeredAttributes(WinHandle h) = 0;
    [[nodiscard]] virtual bool setLayeredAttributes(WinHandle h, const LayeredAttributes& attributes) = 0;
    virtual WinHandle foregroundWindow() = 0;
    // The cloak bits of a top-level window; 0 when it is not cloaked or the system cannot tell
    // (no desktop composition, as on Windows 7 without it and under Wine).
    virtual std::uint32_t cloak(WinHandle h) = 0;

    // --- processes ---

    virtual std::uint32_t windowProcessId(WinHandle h) = 0;
    // Base name of the process's executable as the system reports it; "" when unreadable.
    virtual std::string processBaseName(std::uint32_t processId, ProcessAccess access) = 0;
    // Full path of the process's executable; "" when unreadable.
    virtual std::string processImagePath(std::uint32_t processId, ProcessAccess access) = 0;
    // A handle kept open on a running process: while it is open, the system gives the id to no
    // other process, even once this one has ended, so the id names one process for good.
    // kNoProcessHold when the process has ended or cannot be opened. Each hold is released.
    virtual ProcessHold holdProcess(std::uint32_t processId) = 0;
    // Whether the process held has ended: one question, where reading anything of the process
    // (a start time, say) would take opening it, asking and closing it again.
    virtual bool processEnded(ProcessHold hold) = 0;
    virtual void releaseProcess(ProcessHold hold) = 0;
    // The process runs with higher rights than Clavora (an elevated program while Clavora is
    // not), so the system keeps Clavora from moving, restyling or reordering its windows.
    // False when that cannot be told.
    virtual bool runsElevated(std::uint32_t processId) = 0;

    // --- monitors and screen ---

    // Monitors in the order the system enumerates them.
    virtual std::vector<MonitorRecord> enumerateMonitors() = 0;
    // The DPI of the monitor that shows most of window h (the nearest one when none does).
    virtual int monitorDpi(WinHandle h) = 0;
    // The frame of h as the user sees it: on Windows 10 and 11 the window rectangle less its
    // invisible resize borders. nullopt where the system cannot tell (no desktop composition).
    virtual std::optional<Rect> visibleFrame(WinHandle h) = 0;
    // Rectangle of the desktop window.
    virtual Rect desktopRect() = 0;
    // Work area of the primary monitor (SPI_GETWORKAREA).
    virtual Rect workArea() = 0;

    // --- system services ---

    [[nodiscard]] virtual bool registerHotKey(WinHandle owner, int id, unsigned modifiers, unsigned vk) = 0;
    virtual void unregisterHotKey(WinHandle owner, int id) = 0;
    // A message box with a caption of its own.
    virtual MsgAnswer messageBox(WinHandle owner, std::u8string_view text, std::u8string_view caption,
                                 MsgButtons buttons, MsgIcon icon) = 0;
    // The program's own message box, owned by owner and captioned with the program's name.
    virtual MsgAnswer programBox(WinHandle owner, std::u8string_view text, MsgButtons buttons,
                                 MsgIcon icon) = 0;
    // The program's standard message box: exclamation icon for OK and question icon for Yes/No.
    MsgAnswer appMessageBox(WinHandle owner, std::u8string_view text, MsgButtons buttons) {
        return programBox(owner, text, buttons,
                          buttons == MsgButtons::yesNo ? MsgIcon::question : MsgIcon::exclamation);
    }
    // The same, owned by the program's active window (none when another program is active).
    MsgAnswer appMessageBox(std::u8string_view text, MsgButtons buttons) {
        return appMessageBox(activeWindow(), text, buttons);
    }
    // Good news, with the information icon: nothing went wrong.
    void appNotice(std::u8string_view text) {
        (void)programBox(activeWindow(), text, MsgButtons::ok, MsgIcon::information);
    }
    // The active window of Clavora's own thread, or kNoWindow.
    virtual WinHandle activeWindow() = 0;
    // The system's name of a key (GetKeyNameTextA of its scan code).
    virtual std::string keyName(unsigned vk) = 0;
};
