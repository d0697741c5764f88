#include "desktop/win32/VersionGuards.h"

#include <dwmapi.h>

namespace {

OSVERSIONINFOA g_version{};
bool g_versionValid = false;

using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using DwmExtendFrameIntoClientAreaFn = HRESULT(WINAPI*)(HWND, const MARGINS*);
using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);

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
    if (!IsOsVersion6OrLater()) return kGuardedCallRefused;
    static const auto attribute =
        boundFunction<DwmGetWindowAttributeFn>(dwmLibrary(), "DwmGetWindowAttribute");
    if (!attribute) return kGuardedCallRefused;
    return attribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof bounds);
}

bool AllowMessageThroughFilter(UINT message) {
    if (!IsOsVersion6OrLater()) return false;
    static const auto filter = boundFunction<ChangeWindowMessageFilterFn>(GetModuleHandleW(L"user32.dll"),
                                                                          "ChangeWindowMessageFilter");
    return filter && filter(message, kMessageFilterAdd) != FALSE;
}
