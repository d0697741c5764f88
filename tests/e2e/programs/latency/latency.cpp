// How long a window waits for its pin (bench/wine-idle.sh): opens windows one after another
// and times each from its showing to the first visible window of another program that it
// owns, which is how a pin sits on its target.
//
//   latency.exe [--count N] [--title TEXT] [--timeout MS]
//
// N windows (default 10) titled TEXT with "{n}" as the window's number (default "Latency {n}"),
// each shown only once the one before has its pin, after a pause that varies from window to
// window so that the windows show at every point of the watcher's period. A window that gets no
// pin within MS (default 5000) counts as that long. Prints "latency=N<TAB>ms=M" per window
// (M with a tenth of a millisecond), then "median=M<TAB>worst=M<TAB>missed=K"; the windows stay
// open until then, and the program ends after the last line.
#include "base/win32/Win32Util.h"
#include "e2e/HelperProgram.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kWindowClass[] = L"ClavoraLatency";
constexpr DWORD kPollMs = 2;
// Pauses between one pin and the next window, spread over more than a whole 500 ms period.
constexpr DWORD kPauseStepMs = 137;
constexpr DWORD kPauseSpanMs = 700;

struct OwnedSearch {
    HWND owner = nullptr;
    bool found = false;
};

BOOL CALLBACK findOwned(HWND h, LPARAM parameter) {
    auto& search = *reinterpret_cast<OwnedSearch*>(parameter);
    if (GetWindow(h, GW_OWNER) != search.owner || !IsWindowVisible(h)) return TRUE;
    search.found = true;
    return FALSE;
}

bool hasPin(HWND h) {
    OwnedSearch search{h, false};
    EnumWindows(findOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Handles what arrives for up to ms milliseconds.
void pump(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

double msSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

std::string numbered(std::string title, int n) {
    const auto at = title.find("{n}");
    if (at != std::string::npos) title.replace(at, 3, std::to_string(n));
    return title;
}

}  // namespace

int main() {
    int count = 10;
    std::string title = "Latency {n}";
    DWORD timeoutMs = 5000;
    const std::vector<std::string> args = helper::arguments();
    for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--count") {
            count = std::max(1, std::atoi(args[i + 1].c_str()));
        } else if (args[i] == "--title") {
            title = args[i + 1];
        } else if (args[i] == "--timeout") {
            timeoutMs = static_cast<DWORD>(std::atoi(args[i + 1].c_str()));
        } else {
            std::fprintf(stderr, "latency: unknown option %s\n", args[i].c_str());
            return 2;
        }
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (!RegisterClassW(&windowClass)) return 1;

    std::vector<double> times;
    int missed = 0;
    for (int n = 1; n <= count; ++n) {
        pump((static_cast<DWORD>(n) * kPauseStepMs) % kPauseSpanMs);
        const int offset = 40 + 25 * (n - 1);
        HWND h = CreateWindowExW(0, kWindowClass, utf8ToWide(numbered(title, n)).c_str(), WS_OVERLAPPEDWINDOW,
                                 offset, offset, 360, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
        if (!h) return 1;
        ShowWindow(h, SW_SHOWNORMAL);
        UpdateWindow(h);
        LARGE_INTEGER shown;
        QueryPerformanceCounter(&shown);
        double ms = 0;
        while (!hasPin(h)) {
            ms = msSince(shown);
            if (ms >= timeoutMs) break;
            pump(kPollMs);
        }
        if (hasPin(h)) {
            ms = msSince(shown);
        } else {
            ms = timeoutMs;
            ++missed;
        }
        times.push_back(ms);
        std::printf("latency=%d\tms=%.1f\n", n, ms);
        std::fflush(stdout);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t mid = sorted.size() / 2;
    const double median = sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
    std::printf("median=%.1f\tworst=%.1f\tmissed=%d\n", median, sorted.back(), missed);
    std::fflush(stdout);
    return 0;
}
