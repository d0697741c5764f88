#include "desktop/win32/VersionGuards.h"

#include <dwmapi.h>

namespace {

OSVERSIONINFOA g_version{};
bool g_versionValid = false;

using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using DwmExtendFrameIntoClientAreaFn = HRESULT(WINAPI*)(HWND, const MARGINS*);
using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);

// MDT_EFFECTIVE_DPI of GetDpiForMonitor: the DPI the user's scale setting gives the monitor.
constexpr int kEffectiveDpi = 0;

// MSGFLT_ADD of ChangeWindowMessageFilter.
constexpr DWORD kMessageFilterAdd = 1;

// GetProcAddress gives a generic function pointer; going through void(*)() tells the
// compiler that the cast to the real signature is meant.
template <class Fn>
Fn boundFunction(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// dwmapi is loaded at the first use, never at start: a system without it still runs Clavora.
HMODULE dwmLibrary() {
    static const HMODULE library = LoadLibraryW(L"dwmapi.dll");
    return library;
}

HMODULE user32Library() { return GetModuleHandleW(L"user32.dll"); }

// shcore is loaded at the first use, like dwmapi; it came with Windows 8.1.
HMODULE shcoreLibrary() {
    static const HMODULE library = LoadLibraryW(L"shcore.dll");
    return library;
}

// The one DPI of a system without DPI per monitor, which every window there is shown at.
UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

void LoadOsVersion() {
    g_version = OSVERSIONINFOA{};
    g_version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (GetVersionExA(&g_version) == TRUE) g_versionValid = true;
}

bool IsOsVersion6OrLater() {
    if (!g_versionValid) LoadOsVersion();
    return g_versionValid && g_version.dwMajorVersion >= 6;
}

void GetOsVersionNumbers(unsigned& major, unsigned& minor) {
    if (!g_versionValid) LoadOsVersion();
    major = g_versionValid ? g_version.dwMajorVersion : 0;
    minor = g_versionValid ? g_version.dwMinorVersion : 0;
}

namespace {

// DwmGetWindowAttribute; kGuardedCallRefused on an older system.
HRESULT dwmWindowAttribute(HWND window, DWORD attribute, void* value, DWORD bytes) {
    if (!IsOsVersion6OrLater()) return kGuardedCallRefused;
    static const auto query = boundFunction<DwmGetWindowAttributeFn>(dwmLibrary(), "DwmGetWindowAttribute");
    return query ? query(window, attribute, value, bytes) : kGuardedCallRefused;
}

}  // namespace

HRESULT QueryDwmComposition(BOOL* enabled) {
    if (IsOsVersion6OrLater()) {
        static const auto query =
            boundFunction<DwmIsCompositionEnabledFn>(dwmLibrary(), "DwmIsCompositionEnabled");
        if (query) return query(enabled);
    }
    if (enabled) *enabled = FALSE;
    return kGuardedCallRefused;
}

HRESULT ExtendDwmFrame(HWND window, const MARGINS& margins) {
    if (!IsOsVersion6OrLater()) return kGuardedCallRefused;
    static const auto extend =
        boundFunction<DwmExtendFrameIntoClientAreaFn>(dwmLibrary(), "DwmExtendFrameIntoClientArea");
    return extend ? extend(window, &margins) : kGuardedCallRefused;
}

HRESULT GetDwmFrameBounds(HWND window, RECT& bounds) {
    return dwmWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof bounds);
}

HRESULT GetDwmCloak(HWND window, DWORD& cloak) {
    cloak = 0;
    return dwmWindowAttribute(window, DWMWA_CLOAKED, &cloak, sizeof cloak);
}

bool AllowMessageThroughFilter(UINT message) {
    if (!IsOsVersion6OrLater()) return false;
    static const auto filter =
        boundFunction<ChangeWindowMessageFilterFn>(user32Library(), "ChangeWindowMessageFilter");
    return filter && filter(message, kMessageFilterAdd) != FALSE;
}

UINT MonitorDpi(HMONITOR monitor) {
    static const auto query = boundFunction<GetDpiForMonitorFn>(shcoreLibrary(), "GetDpiForMonitor");
    UINT dpiX = 0, dpiY = 0;
    if (query && monitor && SUCCEEDED(query(monitor, kEffectiveDpi, &dpiX, &dpiY)) && dpiY > 0) return dpiY;
    return systemDpi();
}

bool PrintsFullContent() {
    // A program whose manifest does not name Windows 8.1 is told version 6.2 there and later,
    // so the release is known by a call that came with it.
    static const bool known =
        boundFunction<GetDpiForMonitorFn>(shcoreLibrary(), "GetDpiForMonitor") != nullptr;
    return IsOsVersion6OrLater() && known;
}

UINT WindowDpi(HWND window) {
    static const auto query = boundFunction<GetDpiForWindowFn>(user32Library(), "GetDpiForWindow");
    const UINT dpi = query ? query(window) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto query =
        boundFunction<GetSystemMetricsForDpiFn>(user32Library(), "GetSystemMetricsForDpi");
    return query ? query(index, dpi) : GetSystemMetrics(index);
}

UINT_PTR SetCoalescedTimer(HWND window, UINT_PTR id, UINT ms, ULONG toleranceMs) {
    static const auto coalescable =
        boundFunction<SetCoalescableTimerFn>(user32Library(), "SetCoalescableTimer");
    return coalescable ? coalescable(window, id, ms, nullptr, toleranceMs)
                       : SetTimer(window, id, ms, nullptr);
}
