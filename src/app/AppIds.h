// Timers, messages and system-menu command of the resident main window. Dialog, menu,
// string and icon IDs are resources (res/resource.h).
#pragma once

#include <cstdint>

// Re-announces the tray icon and adds it again when the notification area has lost it.
constexpr int kTrayTimerId = 101;
constexpr unsigned kTrayTimerPeriodMs = 1000;
constexpr unsigned kTrayTimerToleranceMs = 100;
// Looks whether the debug console has been closed, which must end the session.
constexpr int kConsoleTimerId = 105;
constexpr unsigned kConsoleTimerPeriodMs = 500;
// The tray icon's callback message (WM_USER + 100); the mouse message comes in lParam.
constexpr unsigned kTrayCallbackMessage = 0x0400 + 100;
// The system keeps the low four bits of system commands for itself.
constexpr unsigned kSysCommandMask = 0xFFF0;

// Mouse messages the tray callback tells apart.
namespace traymouse {
constexpr std::uint32_t kLButtonDown = 0x0201;
constexpr std::uint32_t kLButtonDblClk = 0x0203;
constexpr std::uint32_t kRButtonDown = 0x0204;
constexpr std::uint32_t kRButtonUp = 0x0205;
}  // namespace traymouse

// The notification area is busy (ERROR_TIMEOUT): the icon may or may not have been added.
constexpr std::uint32_t kErrorTimeout = 1460;
// How often one round adds the icon while the notification area times out.
constexpr int kTrayAddAttempts = 3;

// SWP_SHOWWINDOW in WM_WINDOWPOSCHANGING.
constexpr std::uint32_t kSwpShowWindow = 0x0040;
