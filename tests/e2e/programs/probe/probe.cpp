// The scenarios' eyes and hands on the Wine desktop.
//
//   probe.exe COMMAND [ARGUMENTS]
//
// Every window is printed as one line of tab-separated key=value pairs (see describeWindow):
//   hwnd pid exe class title titlehex owner rect style exstyle visible enabled zoomed iconic
//   topmost layered [alpha colorkey lwaflags]
// Values escape backslash, tab, line ends and control bytes (\\ \t \n \r \xHH); titles are
// UTF-8 under "title" and the ANSI bytes in hex under "titlehex". Handles are 0x-hexadecimal and
// are accepted in any base. Exit code 0: done; 1: not found, timed out or refused; 2: usage.
//
// Windows:
//   list [--visible]                    every top-level window, in Z order
//   find FILTERS                        the top-level windows that match; 1 when none
//   wait-window FILTERS [--timeout MS]  waits (default 10000 ms) for a match, prints the first
//   wait-gone HWND [--timeout MS]       waits until the window no longer exists
//   info HWND                           the window's line
//   children HWND                       every descendant: hwnd parent class id text answered
//                                       visible enabled rect
//   text HWND                           GetWindowTextW as UTF-8 (escaped), alone on the line
//   listview HWND                       a list view's rows (of any process): a summary line
//                                       rows columns smallimages selectionmark widths
//                                       clientwidth hscroll, then per row
//                                       row image selected rect icon text0 text1 ...
//   foreground                          the foreground window's line
//   pid                                 the probe's own process ID (a process that is gone next)
//   objects PID                         the process's GDI objects, USER objects and windows
//                                       (gdi user windows source; see ProbeProcess.cpp)
//   terminate PID                       TerminateProcess
//   xid HWND                            the X11 window behind a top-level window (for xdotool)
//   idle HWND [--timeout MS]            waits until the window's thread has handled what was
//                                       pending, painting included
//   focus HWND                          the control with the keyboard focus in HWND's thread:
//                                       hwnd id
//   held                                the keys every program sees held down (GetAsyncKeyState),
//                                       as held=0xa0,0x09 (empty when none)
// FILTERS: --title T (whole), --title-part T, --class C, --exe NAME (any case), --owner HWND,
//          --pid N, --visible
// Actions:
//   move HWND X Y W H                   MoveWindow
//   maximize|minimize|restore|show|hide HWND
//   close HWND                          posts WM_CLOSE
//   post HWND MSG WPARAM LPARAM         PostMessageW
//   send HWND MSG WPARAM LPARAM [--timeout MS]   SendMessageTimeoutW, prints result=
//   settext HWND TEXT                   SetWindowTextW
//   setfg HWND                          SetForegroundWindow
// The real desktop seam (CWin32Desktop), see ProbeDesktop.cpp:
//   desktop SUBCOMMAND ...
#include "e2e/programs/probe/Probe.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace probe {

namespace {

constexpr DWORD kPollMs = 100;
constexpr std::int64_t kDefaultWaitMs = 10000;
constexpr UINT kDefaultSendTimeoutMs = 5000;
constexpr UINT kChildTextTimeoutMs = 1000;
constexpr int kTitleBytes = 1024;
constexpr int kClassChars = 256;
constexpr std::size_t kChildTextChars = 1024;

std::string windowTextW(HWND h) {
    const int length = GetWindowTextLengthW(h);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(h, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return wideToUtf8(text);
}

std::string windowTextA(HWND h) {
    std::string text(kTitleBytes, '\0');
    GetWindowTextA(h, text.data(), kTitleBytes);
    return std::string(text.c_str());
}

std::string classNameW(HWND h) {
    wchar_t name[kClassChars] = {};
    GetClassNameW(h, name, kClassChars);
    return wideToUtf8(name);
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<HWND> topLevelWindows(CWin32Desktop& desktop) {
    std::vector<HWND> windows;
    for (WinHandle h : desktop.topLevelWindows()) windows.push_back(toHwnd(h));
    return windows;
}

struct Filter {
    std::optional<std::string> title;
    std::optional<std::string> titlePart;
    std::optional<std::string> className;
    std::optional<std::string> exe;
    std::optional<HWND> owner;
    std::optional<DWORD> pid;
    bool visibleOnly = false;

    bool matches(CWin32Desktop& desktop, HWND h) const {
        if (visibleOnly && !IsWindowVisible(h)) return false;
        if (owner && GetWindow(h, GW_OWNER) != *owner) return false;
        DWORD processId = 0;
        GetWindowThreadProcessId(h, &processId);
        if (pid && processId != *pid) return false;
        if (className && classNameW(h) != *className) return false;
        if (title || titlePart) {
            const std::string text = windowTextW(h);
            if (title && text != *title) return false;
            if (titlePart && text.find(*titlePart) == std::string::npos) return false;
        }
        if (exe && lower(desktop.processBaseName(processId, ProcessAccess::limited)) != lower(*exe))
            return false;
        return true;
    }
};

// Reads the filter options; leaves the other options for the command.
Filter readFilter(CArgs& args, std::optional<std::int64_t>* timeoutMs = nullptr) {
    Filter filter;
    while (!args.empty()) {
        if (args.take("--title")) {
            filter.title = args.next("title");
        } else if (args.take("--title-part")) {
            filter.titlePart = args.next("title part");
        } else if (args.take("--class")) {
            filter.className = args.next("class");
        } else if (args.take("--exe")) {
            filter.exe = args.next("exe");
        } else if (args.take("--owner")) {
            filter.owner = args.window("owner");
        } else if (args.take("--pid")) {
            filter.pid = static_cast<DWORD>(args.number("pid"));
        } else if (args.take("--visible")) {
            filter.visibleOnly = true;
        } else if (timeoutMs && args.take("--timeout")) {
            *timeoutMs = args.number("timeout");
        } else {
            usageError("unknown filter " + args.next("filter"));
        }
    }
    return filter;
}

std::int64_t readTimeout(CArgs& args, std::int64_t fallback) {
    std::int64_t timeout = fallback;
    if (args.take("--timeout")) timeout = args.number("timeout");
    args.done();
    return timeout;
}

int list(CWin32Desktop& desktop, CArgs& args) {
    const bool visibleOnly = args.take("--visible");
    args.done();
    for (HWND h : topLevelWindows(desktop)) {
        if (!visibleOnly || IsWindowVisible(h)) describeWindow(desktop, h).print();
    }
    return kOk;
}

int find(CWin32Desktop& desktop, CArgs& args) {
    const Filter filter = readFilter(args);
    int found = 0;
    for (HWND h : topLevelWindows(desktop)) {
        if (filter.matches(desktop, h)) {
            describeWindow(desktop, h).print();
            ++found;
        }
    }
    return found > 0 ? kOk : kNotFound;
}

int waitWindow(CWin32Desktop& desktop, CArgs& args) {
    std::optional<std::int64_t> timeout;
    const Filter filter = readFilter(args, &timeout);
    const std::int64_t waitMs = timeout.value_or(kDefaultWaitMs);
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMs);
    do {
        for (HWND h : topLevelWindows(desktop)) {
            if (filter.matches(desktop, h)) {
                describeWindow(desktop, h).print();
                return kOk;
            }
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < deadline);
    std::fprintf(stderr, "probe: no such window after %lld ms\n", static_cast<long long>(waitMs));
    return kNotFound;
}

int waitGone(CArgs& args) {
    const HWND h = args.window("window");
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(readTimeout(args, kDefaultWaitMs));
    while (IsWindow(h)) {
        if (GetTickCount64() >= deadline) return kNotFound;
        Sleep(kPollMs);
    }
    return kOk;
}

int info(CWin32Desktop& desktop, CArgs& args) {
    const HWND h = args.window("window");
    args.done();
    if (!IsWindow(h)) return kNotFound;
    describeWindow(desktop, h).print();
    return kOk;
}

BOOL CALLBACK collectChild(HWND h, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
    return TRUE;
}

int children(CArgs& args) {
    const HWND parent = args.window("window");
    args.done();
    if (!IsWindow(parent)) return kNotFound;
    std::vector<HWND> windows;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&windows));
    for (HWND h : windows) {
        std::wstring text(kChildTextChars, L'\0');
        DWORD_PTR copied = 0;
        const bool answered =
            SendMessageTimeoutW(h, WM_GETTEXT, kChildTextChars, reinterpret_cast<LPARAM>(text.data()),
                                SMTO_ABORTIFHUNG, kChildTextTimeoutMs, &copied) != 0;
        RECT r{};
        GetWindowRect(h, &r);
        helper::CLine()
            .add("hwnd", helper::hwndText(h))
            .add("parent", helper::hwndText(GetParent(h)))
            .add("class", classNameW(h))
            .add("id", GetDlgCtrlID(h))
            .add("text", answered ? wideToUtf8(text.c_str()) : std::string())
            .add("answered", answered)
            .add("visible", IsWindowVisible(h) != FALSE)
            .add("enabled", IsWindowEnabled(h) != FALSE)
            .rect("rect", r)
            .print();
    }
    return kOk;
}

int text(CArgs& args) {
    const HWND h = args.window("window");
    args.done();
    if (!IsWindow(h)) return kNotFound;
    const std::string value = helper::escapeValue(windowTextW(h));
    std::printf("%s\n", value.c_str());
    return kOk;
}

int foreground(CWin32Desktop& desktop, CArgs& args) {
    args.done();
    const HWND h = GetForegroundWindow();
    if (!h) {
        helper::CLine().add("hwnd", helper::hwndText(nullptr)).print();
        return kNotFound;
    }
    describeWindow(desktop, h).print();
    return kOk;
}

int xid(CArgs& args) {
    const HWND h = args.window("window");
    args.done();
    // The X11 driver keeps the X window of every top-level window in this property.
    const HANDLE window = GetPropW(h, L"__wine_x11_whole_window");
    if (!window) return kNotFound;
    helper::CLine().hex("xid", reinterpret_cast<std::uintptr_t>(window)).print();
    return kOk;
}

int focus(CArgs& args) {
    const HWND h = args.window("window");
    args.done();
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &info) || !info.hwndFocus) return kNotFound;
    helper::CLine()
        .add("hwnd", helper::hwndText(info.hwndFocus))
        .add("id", GetDlgCtrlID(info.hwndFocus))
        .print();
    return kOk;
}

int held(CArgs& args) {
    args.done();
    std::string codes;
    for (int vk = 1; vk < 256; ++vk) {
        if (!(GetAsyncKeyState(vk) & 0x8000)) continue;
        char code[8];
        std::snprintf(code, sizeof code, "%s0x%02x", codes.empty() ? "" : ",", vk);
        codes += code;
    }
    helper::CLine().add("held", codes).print();
    return kOk;
}

int idle(CArgs& args) {
    const HWND h = args.window("window");
    const auto timeout = static_cast<UINT>(readTimeout(args, kDefaultWaitMs));
    // A thread answers sent messages only between the messages it handles, and a pending
    // WM_PAINT comes before the second answer: after two answers the window has painted.
    for (int round = 0; round < 2; ++round) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout, &result)) return kNotFound;
    }
    return kOk;
}

int move(CArgs& args) {
    const HWND h = args.window("window");
    const int x = static_cast<int>(args.number("x"));
    const int y = static_cast<int>(args.number("y"));
    const int w = static_cast<int>(args.number("width"));
    const int height = static_cast<int>(args.number("height"));
    args.done();
    return MoveWindow(h, x, y, w, height, TRUE) ? kOk : kNotFound;
}

int show(CArgs& args, int how) {
    const HWND h = args.window("window");
    args.done();
    if (!IsWindow(h)) return kNotFound;
    ShowWindow(h, how);
    return kOk;
}

int post(CArgs& args, bool wait) {
    const HWND h = args.window("window");
    const auto message = static_cast<UINT>(args.number("message"));
    const auto wParam = static_cast<WPARAM>(args.number("wparam"));
    const auto lParam = static_cast<LPARAM>(args.number("lparam"));
    if (!wait) {
        args.done();
        return PostMessageW(h, message, wParam, lParam) ? kOk : kNotFound;
    }
    const auto timeout = static_cast<UINT>(readTimeout(args, kDefaultSendTimeoutMs));
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(h, message, wParam, lParam, SMTO_ABORTIFHUNG, timeout, &result))
        return kNotFound;
    helper::CLine().add("result", static_cast<std::int64_t>(result)).print();
    return kOk;
}

int setText(CArgs& args) {
    const HWND h = args.window("window");
    const std::string value = args.next("text");
    args.done();
    return SetWindowTextW(h, utf8ToWide(value).c_str()) ? kOk : kNotFound;
}

int setForeground(CArgs& args) {
    const HWND h = args.window("window");
    args.done();
    return SetForegroundWindow(h) ? kOk : kNotFound;
}

}  // namespace

void usageError(const std::string& problem) {
    std::fprintf(stderr, "probe: %s\n", problem.c_str());
    std::exit(ranThrough(kUsage));
}

int ranThrough(int status) {
    std::fprintf(stderr, "probe: status %d\n", status);
    std::fflush(stderr);
    return status;
}

const std::string& CArgs::next(const char* what) {
    if (empty()) usageError(std::string("missing ") + what);
    return m_args[m_next++];
}

std::int64_t CArgs::number(const char* what) {
    const std::string& text = next(what);
    const std::optional<std::int64_t> value = helper::parseNumber(text);
    if (!value) usageError(std::string(what) + " is not a number: " + text);
    return *value;
}

HWND CArgs::window(const char* what) {
    const std::string& text = next(what);
    const std::optional<HWND> h = helper::parseHwnd(text);
    if (!h) usageError(std::string(what) + " is not a window handle: " + text);
    return *h;
}

bool CArgs::take(const char* option) {
    if (empty() || m_args[m_next] != option) return false;
    ++m_next;
    return true;
}

void CArgs::done() const {
    if (!empty()) usageError("unexpected argument " + m_args[m_next]);
}

helper::CLine describeWindow(CWin32Desktop& desktop, HWND h) {
    DWORD processId = 0;
    GetWindowThreadProcessId(h, &processId);
    RECT r{};
    GetWindowRect(h, &r);
    const auto style = static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE));
    helper::CLine line;
    line.add("hwnd", helper::hwndText(h))
        .add("pid", processId)
        .add("exe", desktop.processBaseName(processId, ProcessAccess::limited))
        .add("class", classNameW(h))
        .add("title", windowTextW(h))
        .add("titlehex", helper::hexBytes(windowTextA(h)))
        .add("owner", helper::hwndText(GetWindow(h, GW_OWNER)))
        .rect("rect", r)
        .hex("style", style)
        .hex("exstyle", exStyle)
        .add("visible", IsWindowVisible(h) != FALSE)
        .add("enabled", IsWindowEnabled(h) != FALSE)
        .add("zoomed", IsZoomed(h) != FALSE)
        .add("iconic", IsIconic(h) != FALSE)
        .add("topmost", (exStyle & WS_EX_TOPMOST) != 0);
    if (!(exStyle & WS_EX_LAYERED)) return line.add("layered", "none");
    COLORREF colorKey = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(h, &colorKey, &alpha, &flags)) return line.add("layered", "unset");
    return line.add("layered", "yes").add("alpha", alpha).hex("colorkey", colorKey).hex("lwaflags", flags);
}

}  // namespace probe

namespace {

int runCommand() {
    using namespace probe;
    CArgs args(helper::arguments());
    CWin32Desktop desktop;
    const std::string command = args.next("command");
    if (command == "list") return list(desktop, args);
    if (command == "find") return find(desktop, args);
    if (command == "wait-window") return waitWindow(desktop, args);
    if (command == "wait-gone") return waitGone(args);
    if (command == "info") return info(desktop, args);
    if (command == "children") return children(args);
    if (command == "text") return text(args);
    if (command == "listview") return listView(args);
    if (command == "foreground") return foreground(desktop, args);
    if (command == "pid") {
        args.done();
        helper::CLine().add("pid", GetCurrentProcessId()).print();
        return kOk;
    }
    if (command == "objects") return guiObjects(args);
    if (command == "terminate") return terminate(args);
    if (command == "xid") return xid(args);
    if (command == "idle") return idle(args);
    if (command == "focus") return focus(args);
    if (command == "held") return held(args);
    if (command == "move") return move(args);
    if (command == "maximize") return show(args, SW_MAXIMIZE);
    if (command == "minimize") return show(args, SW_MINIMIZE);
    if (command == "restore") return show(args, SW_RESTORE);
    if (command == "show") return show(args, SW_SHOW);
    if (command == "hide") return show(args, SW_HIDE);
    if (command == "close") {
        const HWND h = args.window("window");
        args.done();
        return PostMessageW(h, WM_CLOSE, 0, 0) ? kOk : kNotFound;
    }
    if (command == "post") return post(args, false);
    if (command == "send") return post(args, true);
    if (command == "settext") return setText(args);
    if (command == "setfg") return setForeground(args);
    if (command == "desktop") return runDesktopCommand(args);
    usageError("unknown command " + command);
}

}  // namespace

int main() {
    helper::useBinaryOutput();
    return probe::ranThrough(runCommand());
}
