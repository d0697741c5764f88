// pintest.exe: one pin record put on a window of another program with the real pin window,
// before there is a resident shell around it.
//
//   pintest.exe (--title TEXT | --hwnd HWND) [--zorder N] [--pin-size N] [--move-enable N]
//
// --zorder gives the record its Z order (ZORDER, default 0) before the pin starts.
// --title waits up to 10 s for a visible top-level window with this title (UTF-8). Without
// --pin-size or --move-enable no controller is registered, so the pin is the small one and
// cannot be dragged; with either, a controller with these settings (default 0) is registered,
// which prints what the pin asks of it and removes the pin on a confirmed "抜く".
//
// A hidden window of class "ClavoraPinTest" holds the pin once a second, as the panel does,
// and takes the commands (probe post HWND MSG 0 0):
//   kEndPinMessage (WM_APP + 1)    EndPin
//   kStartPinMessage (WM_APP + 2)  StartPin again on the same window
//   WM_CLOSE                       EndPin if pinned, then the program ends
// Output lines (tab-separated key=value): control=, pinned pin= target=, ended recttarget=
// recttarget= zorder= transflag= trans=, and the program's own traces.
#include "base/win32/Win32Util.h"
#include "desktop/MultiDisplay.h"
#include "desktop/win32/Win32CodePage.h"
#include "desktop/win32/Win32Desktop.h"
#include "e2e/HelperProgram.h"
#include "pins/ControlDlg.h"
#include "pins/PinData.h"
#include "pinwindow/PinController.h"
#include "pinwindow/PinDlg.h"
#include "pinwindow/win32/PinWindow.h"
#include "ui/win32/Controls.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr UINT kEndPinMessage = WM_APP + 1;
constexpr UINT kStartPinMessage = WM_APP + 2;
constexpr wchar_t kControlClass[] = L"ClavoraPinTest";
constexpr DWORD kFindTimeoutMs = 10000;
constexpr DWORD kFindPollMs = 100;
constexpr std::size_t kTitleBytes = 1024;

CWin32Desktop g_desktop;
CWin32PinFactory g_factory(g_desktop);
CPinData g_record;
HWND g_target = nullptr;

RECT toRECTOf(const Rect& r) { return toRECT(r); }

void printPinned() {
    helper::CLine line;
    line.add("pinned", 1).add("target", helper::hwndText(g_target));
    if (g_record.pinDlg()) line.add("pin", helper::hwndText(toHwnd(g_record.m_hPinWnd)));
    line.print();
}

void printEnded() {
    helper::CLine()
        .add("ended", 1)
        .rect("recttarget", toRECTOf(g_record.m_rectTarget))
        .add("zorder", g_record.m_zOrder)
        .add("transflag", g_record.m_transFlag)
        .add("trans", g_record.m_trans)
        .print();
}

void startPin() {
    g_record.StartPin(g_factory, toWinHandle(g_target));
    printPinned();
}

void endPin() {
    if (g_record.m_pinned == 0) return;
    g_record.EndPin(g_factory);
    printEnded();
}

// Stands in for the control panel where a scenario needs the pin size or dragging.
class CTestController : public CPinController {
public:
    int pinSize() const override { return m_pinSize; }
    int moveEnable() const override { return m_moveEnable; }
    void notifyUpdateWindow() override { helper::CLine().add("notify", 1).print(); }
    void requestSave() override { helper::CLine().add("save", 1).print(); }
    std::uint64_t recordIdOfPin(WinHandle pinWindow) override {
        return pinWindow == g_record.m_hPinWnd ? g_record.m_recordId : 0;
    }
    void forgetRecord(std::uint64_t recordId) override {
        if (recordId != g_record.m_recordId) return;
        if (CPinDlg* pin = g_record.pinDlg()) pin->Destroy();
        const std::string title = g_record.m_title;
        g_record = CPinData{};
        g_record.m_title = title;
        helper::CLine().add("removed", 1).print();
    }
    void changeConditionsFromPin(WinHandle) override { helper::CLine().add("conditions", 1).print(); }

    int m_pinSize = 0;
    int m_moveEnable = 0;
};

LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kEndPinMessage:
            endPin();
            return 0;
        case kStartPinMessage:
            startPin();
            return 0;
        case WM_TIMER:
            // The panel's shared hold tick, as the panel runs it.
            if (wParam == kPinHoldTimerId) {
                for (const WinHandle pin : CPinDlg::holdingPins()) {
                    if (CPinDlg* const held = CPinDlg::find(pin)) held->hold();
                }
            }
            return 0;
        case WM_CLOSE:
            endPin();
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

HWND findByTitle(const std::wstring& title) {
    struct Search {
        const std::wstring* title;
        HWND found;
    } search{&title, nullptr};
    const DWORD start = GetTickCount();
    while (!search.found && GetTickCount() - start < kFindTimeoutMs) {
        EnumWindows(
            [](HWND h, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                wchar_t text[kTitleBytes] = {};
                GetWindowTextW(h, text, static_cast<int>(kTitleBytes));
                if (IsWindowVisible(h) && *s->title == text) {
                    s->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(kFindPollMs);
    }
    return search.found;
}

int usage(const char* why) {
    std::fprintf(stderr, "pintest: %s\n", why);
    return 2;
}

}  // namespace

int main() {
    helper::useBinaryOutput();
    static CWin32CodePage codePage;
    setSystemCodePage(codePage);
    if (!initCommonControls()) return 1;

    std::optional<std::string> title;
    std::optional<HWND> hwnd;
    std::optional<CTestController> controller;
    int zOrder = 0;
    const std::vector<std::string> args = helper::arguments();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--title" && hasValue) {
            title = args[++i];
        } else if (args[i] == "--hwnd" && hasValue) {
            hwnd = helper::parseHwnd(args[++i]);
            if (!hwnd) return usage("--hwnd takes a window handle");
        } else if (args[i] == "--zorder" && hasValue) {
            const std::optional<std::int64_t> value = helper::parseNumber(args[++i]);
            if (!value) return usage("--zorder takes a number");
            zOrder = static_cast<int>(*value);
        } else if ((args[i] == "--pin-size" || args[i] == "--move-enable") && hasValue) {
            const std::optional<std::int64_t> value = helper::parseNumber(args[i + 1]);
            if (!value) return usage("a setting takes a number");
            if (!controller) controller.emplace();
            (args[i] == "--pin-size" ? controller->m_pinSize : controller->m_moveEnable) =
                static_cast<int>(*value);
            ++i;
        } else {
            return usage("(--title TEXT | --hwnd HWND) [--zorder N] [--pin-size N] [--move-enable N]");
        }
    }
    if (title) hwnd = findByTitle(utf8ToWide(*title));
    if (!hwnd || !*hwnd || !IsWindow(*hwnd)) return usage("no such window");
    g_target = *hwnd;
    if (controller) setPinController(&*controller);

    CMultiDisplay::GetMultiDisplay()->EnumMonitors(g_desktop);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = controlProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kControlClass;
    RegisterClassW(&windowClass);
    HWND control = CreateWindowExW(0, kControlClass, L"pintest", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
    if (!control) return 1;
    helper::CLine().add("control", helper::hwndText(control)).print();
    SetTimer(control, kPinHoldTimerId, kPinHoldTimerMs, nullptr);

    g_record.m_title = g_desktop.windowTitle(toWinHandle(g_target), kTitleBytes);
    g_record.m_zOrder = zOrder;
    startPin();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    setPinController(nullptr);
    CMultiDisplay::ReleaseMultiDisplay();
    return 0;
}
