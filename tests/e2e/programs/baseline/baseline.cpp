// The yardstick of the idle measurement (bench/wine-idle.sh): the least any program that
// watches the desktop's windows must do. Every period it enumerates the top-level windows and
// reads each one's visibility and title, as Clavora's cycle does first, and nothing else.
//
//   baseline.exe [--period MS]
//   baseline.exe --calls [ROUNDS]
//
// Like Clavora's cycle it re-arms its timer after each pass, so the period counts from the end
// of the previous pass (default 500 ms). It prints "ready" once its first pass has run and,
// when it gets WM_CLOSE (on its hidden window, class ClavoraBaseline), "passes=N" before it
// ends.
//
// --calls times each call of the desktop seam that the cycle makes, over every top-level
// window (ROUNDS times, default 20), and prints one line per call: name, calls, microseconds
// per call. It shows where a cycle's time goes on this system.
#include "desktop/win32/Win32Desktop.h"
#include "e2e/HelperProgram.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"ClavoraBaseline";
constexpr UINT_PTR kPassTimerId = 1;
constexpr UINT kDefaultPeriodMs = 500;
constexpr UINT kFirstPassDelayMs = 100;
// The same title buffer as Clavora's cycle.
constexpr int kTitleBytes = 256;

UINT g_periodMs = kDefaultPeriodMs;
long g_passes = 0;
// What the pass saw, kept so the reads cannot be optimised away.
long g_visibleTitled = 0;

BOOL CALLBACK readWindow(HWND h, LPARAM) {
    if (!IsWindowVisible(h)) return TRUE;
    char title[kTitleBytes] = {};
    GetWindowTextA(h, title, kTitleBytes);
    if (title[0] != '\0') ++g_visibleTitled;
    return TRUE;
}

void runPass(HWND window) {
    KillTimer(window, kPassTimerId);
    EnumWindows(readWindow, 0);
    if (++g_passes == 1) {
        std::printf("ready\n");
        std::fflush(stdout);
    }
    SetTimer(window, kPassTimerId, g_periodMs, nullptr);
}

LRESULT CALLBACK windowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kPassTimerId) runPass(h);
            return 0;
        case WM_CLOSE:
            std::printf("passes=%ld\tseen=%ld\n", g_passes, g_visibleTitled);
            std::fflush(stdout);
            DestroyWindow(h);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(h, message, wParam, lParam);
    }
}

// The process's own user + kernel time, in 100 ns units.
std::uint64_t ownCpuTime() {
    FILETIME created{}, ended{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto value = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return value(kernel) + value(user);
}

// Runs call on every window, rounds times over, and prints what one call cost: elapsed time
// (which includes waiting for the wineserver) and the program's own CPU time.
void timeCall(const char* name, const std::vector<WinHandle>& windows, long rounds,
              const std::function<void(WinHandle)>& call) {
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    const std::uint64_t cpuStart = ownCpuTime();
    QueryPerformanceCounter(&start);
    for (long round = 0; round < rounds; ++round) {
        for (const WinHandle h : windows) call(h);
    }
    QueryPerformanceCounter(&end);
    const double calls = static_cast<double>(std::max(1L, rounds * static_cast<long>(windows.size())));
    const double us = static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                      static_cast<double>(frequency.QuadPart) / calls;
    const double cpuUs = static_cast<double>(ownCpuTime() - cpuStart) / 10.0 / calls;
    std::printf("call=%s\tcalls=%.0f\tus=%.1f\tcpu_us=%.1f\n", name, calls, us, cpuUs);
    std::fflush(stdout);
}

int timeCalls(long rounds) {
    CWin32Desktop desktop;
    const std::vector<WinHandle> windows = desktop.topLevelWindows();
    std::printf("windows=%zu\n", windows.size());
    timeCall("topLevelWindows (per window)", windows, rounds, [&](WinHandle h) {
        if (h == windows.front()) g_visibleTitled += static_cast<long>(desktop.topLevelWindows().size());
    });
    timeCall("isVisible", windows, rounds, [&](WinHandle h) { g_visibleTitled += desktop.isVisible(h); });
    timeCall("isZoomed", windows, rounds, [&](WinHandle h) { g_visibleTitled += desktop.isZoomed(h); });
    timeCall("windowTitle", windows, rounds, [&](WinHandle h) {
        g_visibleTitled += static_cast<long>(desktop.windowTitle(h, kTitleBytes).size());
    });
    timeCall("windowProcessId", windows, rounds,
             [&](WinHandle h) { g_visibleTitled += static_cast<long>(desktop.windowProcessId(h)); });
    timeCall("style", windows, rounds, [&](WinHandle h) { g_visibleTitled += desktop.style(h) != 0; });
    timeCall("windowRect", windows, rounds,
             [&](WinHandle h) { g_visibleTitled += desktop.windowRect(h).left; });
    timeCall("enumerateMonitors", windows, rounds,
             [&](WinHandle) { g_visibleTitled += static_cast<long>(desktop.enumerateMonitors().size()); });
    timeCall("processBaseName", windows, rounds, [&](WinHandle h) {
        g_visibleTitled += static_cast<long>(
            desktop.processBaseName(desktop.windowProcessId(h), ProcessAccess::limited).size());
    });
    timeCall("processImagePath", windows, rounds, [&](WinHandle h) {
        g_visibleTitled += static_cast<long>(
            desktop.processImagePath(desktop.windowProcessId(h), ProcessAccess::limited).size());
    });
    std::printf("seen=%ld\n", g_visibleTitled);
    return 0;
}

}  // namespace

int main() {
    helper::useBinaryOutput();
    const std::vector<std::string> args = helper::arguments();
    if (!args.empty() && args[0] == "--calls") {
        const std::optional<std::int64_t> rounds = args.size() > 1 ? helper::parseNumber(args[1]) : 20;
        return timeCalls(rounds && *rounds > 0 ? static_cast<long>(*rounds) : 20);
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::optional<std::int64_t> period =
            args[i] == "--period" && i + 1 < args.size() ? helper::parseNumber(args[i + 1]) : std::nullopt;
        if (!period || *period <= 0) {
            std::fprintf(stderr, "usage: baseline.exe [--period MS]\n");
            return 2;
        }
        g_periodMs = static_cast<UINT>(*period);
        ++i;
    }

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(&windowClass)) return 1;
    // Hidden, like Clavora's main window; a top-level window so that probe can find and close it.
    const HWND window = CreateWindowExW(0, kWindowClass, kWindowClass, WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                        nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    // The first pass soon after start, as Clavora's first cycle.
    SetTimer(window, kPassTimerId, kFirstPassDelayMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
