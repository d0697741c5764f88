// Facilities that exist only on newer systems (from version 6: the desktop window manager and
// the message filter; later: the DPI of each monitor and window), used so that Clavora still loads and runs
// on older systems: the libraries are bound at the first call, and every call sits behind the version
// question.
#pragma once

#include <windows.h>

#include <uxtheme.h>

// What the guarded calls return when the system is too old or the facility is missing.
constexpr HRESULT kGuardedCallRefused = static_cast<HRESULT>(-1);

// Fills the cached version record (GetVersionExA); a failed query leaves it invalid.
void LoadOsVersion();
// Major version 6 or later. A failed query counts as older and is asked again next time.
bool IsOsVersion6OrLater();
// The major and minor version as the system tells them to Clavora; 0.0 when the query fails.
void GetOsVersionNumbers(unsigned& major, unsigned& minor);

// DwmIsCompositionEnabled; on an older system *enabled (when given) becomes FALSE and the
// result is kGuardedCallRefused.
HRESULT QueryDwmComposition(BOOL* enabled);
// DwmExtendFrameIntoClientArea; kGuardedCallRefused without any call on an older system.
HRESULT ExtendDwmFrame(HWND window, const MARGINS& margins);
// DwmGetWindowAttribute(DWMWA_EXTENDED_FRAME_BOUNDS): the visible frame without the
// invisible resize borders; kGuardedCallRefused on an older system.
HRESULT GetDwmFrameBounds(HWND window, RECT& bounds);
// DwmGetWindowAttribute(DWMWA_CLOAKED): why the window is kept off the screen, 0 when it is
// not; kGuardedCallRefused on an older system.
HRESULT GetDwmCloak(HWND window, DWORD& cloak);
// ChangeWindowMessageFilter(message, MSGFLT_ADD), so that a broadcast from a process of
// another integrity level reaches us; false on an older system or when the call fails.
bool AllowMessageThroughFilter(UINT message);

// The tolerance of SetCoalescedTimer that asks for no pooling at all (TIMERV_NO_COALESCING).
constexpr ULONG kTimerNotCoalesced = 0xFFFFFFFF;
// SetCoalescableTimer, which lets the system fire the timer up to toleranceMs late together
// with other wake-ups (Windows 8 on); where the system lacks it, SetTimer. 0 when it failed.
UINT_PTR SetCoalescedTimer(HWND window, UINT_PTR id, UINT ms, ULONG toleranceMs);

// Whether PrintWindow takes PW_RENDERFULLCONTENT, which pictures windows that the graphics
// card draws (browsers and their kin come out black without it): from Windows 8.1 on.
bool PrintsFullContent();
// The effective DPI of monitor (GetDpiForMonitor); where the system has no DPI per monitor,
// its one DPI.
UINT MonitorDpi(HMONITOR monitor);
// The DPI window is shown at (GetDpiForWindow); where the system has no DPI per window, its
// one DPI.
UINT WindowDpi(HWND window);
// GetSystemMetricsForDpi; where the system lacks it, GetSystemMetrics, whose values are for
// its one DPI.
int SystemMetricForDpi(int index, UINT dpi);
