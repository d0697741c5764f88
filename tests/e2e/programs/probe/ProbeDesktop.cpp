// "probe desktop ...": every answer here comes from CWin32Desktop and the child window record,
// the code Clavora itself runs, so a scenario checks the real seam against a real desktop.
// ANSI strings are printed twice: readable UTF-8 under their key, the exact bytes in hex under
// key + "hex".
//
//   desktop window HWND [TITLEBYTES]   pid basename upper imagepath title visible enabled zoomed
//                                      iconic style exstyle rect onmonitor (title buffer 256)
//   desktop process PID                basename upper imagepath ("" when unreadable) running
//                                      (1 while the process runs, held open as the cycle holds it)
//   desktop control-text HWND [MAXCHARS]  text, or answered=0 when the program does not answer
//   desktop descendants HWND           every descendant: hwnd class id visible enabled answered text
//   desktop children HWND              the recorded children (collectChildWindows): hwnd class
//                                      id text rect
//   desktop pair HWND CLASS ID         count= of recorded children with that class and ID
//   desktop screen                     kind=monitor lines, then kind=desktop and kind=workarea
//   desktop onmonitor L T R B          onmonitor=0|1
//   desktop keyname VK                 name
//   desktop hotkey MODIFIERS VK        registers the combination twice, then releases it:
//                                      registered error again againerror
//   desktop foreground                 hwnd
//   desktop answers HWND               answers=0|1 ms= (how long the question took)
//   desktop move HWND L T R B          moveWindow (repaint)
//   desktop topmost HWND 0|1           setTopmost
//   desktop set-style HWND BITS, desktop set-exstyle HWND BITS
//   desktop layered HWND               layered=none, or alpha colorkey lwaflags
//   desktop set-layered HWND COLORKEY ALPHA FLAGS   ok=0|1 error
//   desktop messagebox TEXT CAPTION ok|yesno none|exclamation|question   answer=
//   desktop appmessagebox TEXT ok|yesno                                  answer=
#include "base/Trace.h"
#include "desktop/CodePage.h"
#include "desktop/MultiDisplay.h"
#include "desktop/win32/Win32CodePage.h"
#include "e2e/programs/probe/Probe.h"
#include "pins/ChildWinInf.h"

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace probe {

namespace {

// The buffers the pinning cycle uses: titles in 256 bytes, child texts and class names up to
// the child record's limit.
constexpr std::size_t kTitleBufferBytes = 256;

RECT toRectArg(CArgs& args) {
    RECT r{};
    r.left = static_cast<LONG>(args.number("left"));
    r.top = static_cast<LONG>(args.number("top"));
    r.right = static_cast<LONG>(args.number("right"));
    r.bottom = static_cast<LONG>(args.number("bottom"));
    return r;
}

std::u8string toU8(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }

const char* answerName(MsgAnswer answer) {
    switch (answer) {
        case MsgAnswer::ok:
            return "ok";
        case MsgAnswer::yes:
            return "yes";
        case MsgAnswer::no:
            return "no";
        case MsgAnswer::cancel:
            return "cancel";
    }
    return "cancel";
}

MsgButtons readButtons(CArgs& args) {
    const std::string buttons = args.next("buttons");
    if (buttons == "ok") return MsgButtons::ok;
    if (buttons == "yesno") return MsgButtons::yesNo;
    usageError("buttons are ok or yesno");
}

MsgIcon readIcon(CArgs& args) {
    const std::string icon = args.next("icon");
    if (icon == "none") return MsgIcon::none;
    if (icon == "exclamation") return MsgIcon::exclamation;
    if (icon == "question") return MsgIcon::question;
    usageError("icon is none, exclamation or question");
}

void addProcess(helper::CLine& line, CWin32Desktop& desktop, std::uint32_t processId) {
    const CWin32CodePage codePage;
    const std::string baseName = desktop.processBaseName(processId, ProcessAccess::limited);
    line.ansi("basename", baseName)
        .ansi("upper", mbUpper(codePage, baseName))
        .ansi("imagepath", desktop.processImagePath(processId, ProcessAccess::limited));
    // Held open, as the cycle holds it: 0 for a process that has ended.
    const ProcessHold hold = desktop.holdProcess(processId);
    line.add("running", hold != kNoProcessHold && !desktop.processEnded(hold) ? 1 : 0);
    if (hold != kNoProcessHold) desktop.releaseProcess(hold);
}

helper::CLine& addLayered(helper::CLine& line, CWin32Desktop& desktop, WinHandle h) {
    const std::optional<LayeredAttributes> layered = desktop.layeredAttributes(h);
    if (!layered) return line.add("layered", "none");
    return line.add("layered", "yes")
        .add("alpha", layered->alpha)
        .hex("colorkey", layered->colorKey)
        .hex("lwaflags", layered->flags);
}

int window(CWin32Desktop& desktop, CArgs& args) {
    const WinHandle h = toWinHandle(args.window("window"));
    const auto titleBytes = args.empty() ? kTitleBufferBytes : static_cast<std::size_t>(args.number("bytes"));
    args.done();
    if (!desktop.isWindow(h)) return kNotFound;
    const std::uint32_t processId = desktop.windowProcessId(h);
    const Rect r = desktop.windowRect(h);
    helper::CLine line;
    line.add("hwnd", helper::hwndText(toHwnd(h))).add("pid", processId);
    addProcess(line, desktop, processId);
    line.data("title", desktop.windowTitle(h, titleBytes))
        .add("visible", desktop.isVisible(h))
        .add("enabled", desktop.isEnabled(h))
        .add("zoomed", desktop.isZoomed(h))
        .add("iconic", IsIconic(toHwnd(h)) != FALSE)
        .hex("style", desktop.style(h))
        .hex("exstyle", desktop.exStyle(h))
        .rect("rect", toRECT(r))
        .add("onmonitor", rectOnAnyMonitor(desktop.enumerateMonitors(), r));
    addLayered(line, desktop, h).print();
    return kOk;
}

int process(CWin32Desktop& desktop, CArgs& args) {
    const auto processId = static_cast<std::uint32_t>(args.number("pid"));
    args.done();
    helper::CLine line;
    line.add("pid", processId);
    addProcess(line, desktop, processId);
    line.print();
    return kOk;
}

int controlText(CWin32Desktop& desktop, CArgs& args) {
    const WinHandle h = toWinHandle(args.window("window"));
    const auto maxChars = args.empty() ? kChildTextLimit : static_cast<std::size_t>(args.number("max chars"));
    args.done();
    const ULONGLONG start = GetTickCount64();
    const std::optional<std::string> text = desktop.controlText(h, maxChars);
    const auto elapsed = static_cast<std::int64_t>(GetTickCount64() - start);
    helper::CLine line;
    line.add("answered", text.has_value());
    if (text) line.data("text", *text);
    line.add("ms", elapsed).print();
    return text ? kOk : kNotFound;
}

int descendants(CWin32Desktop& desktop, CArgs& args) {
    const WinHandle parent = toWinHandle(args.window("window"));
    args.done();
    for (WinHandle h : desktop.descendantWindows(parent)) {
        const std::optional<std::string> text = desktop.controlText(h, kChildTextLimit);
        helper::CLine line;
        line.add("hwnd", helper::hwndText(toHwnd(h)))
            .ansi("class", desktop.className(h, kChildTextLimit))
            .add("id", desktop.controlId(h))
            .add("visible", desktop.isVisible(h))
            .add("enabled", desktop.isEnabled(h))
            .add("answered", text.has_value());
        if (text) line.data("text", *text);
        line.print();
    }
    return kOk;
}

int children(CWin32Desktop& desktop, CArgs& args) {
    const WinHandle parent = toWinHandle(args.window("window"));
    args.done();
    CChildWinInfList list;
    collectChildWindows(desktop, list, parent);
    for (const CChildWinInf& child : list) {
        helper::CLine()
            .add("hwnd", helper::hwndText(toHwnd(child.m_hWnd)))
            .ansi("class", child.m_className)
            .add("id", child.m_ctrlID)
            .data("text", child.m_text)
            .rect("rect", toRECT(child.m_info.window))
            .print();
    }
    return kOk;
}

int pair(CWin32Desktop& desktop, CArgs& args) {
    const WinHandle parent = toWinHandle(args.window("window"));
    const std::string className = args.next("class");
    const int id = static_cast<int>(args.number("id"));
    args.done();
    CChildWinInfList list;
    collectChildWindows(desktop, list, parent);
    helper::CLine().add("count", countChildPair(list, className, id)).print();
    return kOk;
}

int screen(CWin32Desktop& desktop, CArgs& args) {
    args.done();
    for (const MonitorRecord& monitor : desktop.enumerateMonitors()) {
        helper::CLine()
            .add("kind", "monitor")
            .rect("rect", toRECT(monitor.monitor))
            .rect("work", toRECT(monitor.work))
            .add("flags", monitor.flags)
            .add("device", monitor.device)
            .rect("enumrect", toRECT(monitor.enumRect))
            .print();
    }
    helper::CLine().add("kind", "desktop").rect("rect", toRECT(desktop.desktopRect())).print();
    helper::CLine().add("kind", "workarea").rect("rect", toRECT(desktop.workArea())).print();
    return kOk;
}

int onMonitor(CWin32Desktop& desktop, CArgs& args) {
    const RECT r = toRectArg(args);
    args.done();
    helper::CLine().add("onmonitor", rectOnAnyMonitor(desktop.enumerateMonitors(), toRect(r))).print();
    return kOk;
}

int keyName(CWin32Desktop& desktop, CArgs& args) {
    const auto vk = static_cast<unsigned>(args.number("virtual key"));
    args.done();
    helper::CLine().ansi("name", desktop.keyName(vk)).print();
    return kOk;
}

// Runs a seam call, which traces its own failure, and gives back whether it succeeded and the
// error code it traced when it failed (0 otherwise).
std::pair<bool, int> tracedCall(const std::function<bool()>& call) {
    std::string traced;
    setTraceSink([&traced](const std::string& line) { traced += line; });
    const bool ok = call();
    setTraceSink({});
    const std::size_t at = traced.rfind("Error=");
    return {ok, ok || at == std::string::npos ? 0 : std::atoi(traced.c_str() + at + 6)};
}

int hotKey(CWin32Desktop& desktop, CArgs& args) {
    // Any ID of the probe's own thread; nothing else registers one here.
    constexpr int kProbeHotKeyId = 1;
    const auto modifiers = static_cast<unsigned>(args.number("modifiers"));
    const auto vk = static_cast<unsigned>(args.number("virtual key"));
    args.done();
    helper::CLine line;
    const auto [registered, error] =
        tracedCall([&] { return desktop.registerHotKey(kNoWindow, kProbeHotKeyId, modifiers, vk); });
    line.add("registered", registered).add("error", error);
    if (registered) {
        const auto [again, againError] =
            tracedCall([&] { return desktop.registerHotKey(kNoWindow, kProbeHotKeyId + 1, modifiers, vk); });
        line.add("again", again).add("againerror", againError);
        desktop.unregisterHotKey(kNoWindow, kProbeHotKeyId);
        if (again) desktop.unregisterHotKey(kNoWindow, kProbeHotKeyId + 1);
    }
    line.print();
    return registered ? kOk : kNotFound;
}

int setLayered(CWin32Desktop& desktop, CArgs& args) {
    const WinHandle h = toWinHandle(args.window("window"));
    LayeredAttributes attributes;
    attributes.colorKey = static_cast<std::uint32_t>(args.number("colour key"));
    attributes.alpha = static_cast<std::uint8_t>(args.number("alpha"));
    attributes.flags = static_cast<std::uint32_t>(args.number("flags"));
    args.done();
    const auto [ok, error] = tracedCall([&] { return desktop.setLayeredAttributes(h, attributes); });
    helper::CLine().add("ok", ok).add("error", error).print();
    return ok ? kOk : kNotFound;
}

}  // namespace

int runDesktopCommand(CArgs& args) {
    CWin32Desktop desktop;
    const std::string command = args.next("desktop command");
    if (command == "window") return window(desktop, args);
    if (command == "process") return process(desktop, args);
    if (command == "control-text") return controlText(desktop, args);
    if (command == "descendants") return descendants(desktop, args);
    if (command == "children") return children(desktop, args);
    if (command == "pair") return pair(desktop, args);
    if (command == "screen") return screen(desktop, args);
    if (command == "onmonitor") return onMonitor(desktop, args);
    if (command == "keyname") return keyName(desktop, args);
    if (command == "hotkey") return hotKey(desktop, args);
    if (command == "set-layered") return setLayered(desktop, args);
    if (command == "foreground") {
        args.done();
        helper::CLine().add("hwnd", helper::hwndText(toHwnd(desktop.foregroundWindow()))).print();
        return kOk;
    }
    if (command == "answers") {
        const WinHandle h = toWinHandle(args.window("window"));
        args.done();
        const ULONGLONG start = GetTickCount64();
        const bool answers = desktop.answers(h);
        const auto elapsed = static_cast<std::int64_t>(GetTickCount64() - start);
        helper::CLine().add("answers", answers).add("ms", elapsed).print();
        return kOk;
    }
    if (command == "layered") {
        const WinHandle h = toWinHandle(args.window("window"));
        args.done();
        helper::CLine line;
        addLayered(line, desktop, h).print();
        return kOk;
    }
    if (command == "move") {
        const WinHandle h = toWinHandle(args.window("window"));
        const RECT r = toRectArg(args);
        args.done();
        desktop.moveWindow(h, toRect(r), true);
        return kOk;
    }
    if (command == "topmost") {
        const WinHandle h = toWinHandle(args.window("window"));
        const bool topmost = args.number("0 or 1") != 0;
        args.done();
        desktop.setTopmost(h, topmost, Activation::none);
        return kOk;
    }
    if (command == "set-style" || command == "set-exstyle") {
        const WinHandle h = toWinHandle(args.window("window"));
        const auto bits = static_cast<std::uint32_t>(args.number("style bits"));
        args.done();
        if (command == "set-style") {
            desktop.setStyle(h, bits);
        } else {
            desktop.setExStyle(h, bits);
        }
        return kOk;
    }
    if (command == "messagebox") {
        const std::string text = args.next("text");
        const std::string caption = args.next("caption");
        const MsgButtons buttons = readButtons(args);
        const MsgIcon icon = readIcon(args);
        args.done();
        const MsgAnswer answer = desktop.messageBox(kNoWindow, toU8(text), toU8(caption), buttons, icon);
        helper::CLine().add("answer", answerName(answer)).print();
        return kOk;
    }
    if (command == "appmessagebox") {
        const std::string text = args.next("text");
        const MsgButtons buttons = readButtons(args);
        args.done();
        helper::CLine().add("answer", answerName(desktop.appMessageBox(toU8(text), buttons))).print();
        return kOk;
    }
    usageError("unknown desktop command " + command);
}

}  // namespace probe
