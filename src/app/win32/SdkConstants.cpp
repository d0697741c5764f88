// The portable code names the platform's values it needs without including the SDK's headers.
// This file holds each copy against the SDK, so that a copy that drifts fails the build.
#include "app/AppIds.h"
#include "base/DesktopTypes.h"
#include "conditions/WindowImage.h"
#include "desktop/Desktop.h"
#include "desktop/HotKeyExState.h"

#include <windows.h>

#include <commctrl.h>
#include <dwmapi.h>

static_assert(style::kVisible == WS_VISIBLE);
static_assert(style::kMaximize == WS_MAXIMIZE);
static_assert(style::kBorder == WS_BORDER);
static_assert(style::kSysMenu == WS_SYSMENU);
static_assert(style::kDisabled == WS_DISABLED);
static_assert(style::kMinimize == WS_MINIMIZE);
static_assert(style::kExLayered == WS_EX_LAYERED);
static_assert(style::kExTopmost == WS_EX_TOPMOST);
static_assert(style::kLayeredColorKey == LWA_COLORKEY);
static_assert(style::kLayeredAlpha == LWA_ALPHA);

static_assert(kTrayCallbackMessage == WM_USER + 100);
static_assert(traymouse::kLButtonDown == WM_LBUTTONDOWN);
static_assert(traymouse::kLButtonDblClk == WM_LBUTTONDBLCLK);
static_assert(traymouse::kRButtonDown == WM_RBUTTONDOWN);
static_assert(traymouse::kRButtonUp == WM_RBUTTONUP);
static_assert(kErrorTimeout == ERROR_TIMEOUT);
static_assert(kSwpShowWindow == SWP_SHOWWINDOW);

static_assert(hotkeyf::kShift == HOTKEYF_SHIFT);
static_assert(hotkeyf::kControl == HOTKEYF_CONTROL);
static_assert(hotkeyf::kAlt == HOTKEYF_ALT);
static_assert(hotkeymod::kAlt == MOD_ALT);
static_assert(hotkeymod::kControl == MOD_CONTROL);
static_assert(hotkeymod::kShift == MOD_SHIFT);
static_assert(hotkeymod::kWin == MOD_WIN);
static_assert(kWmHotKeyExKeyDown >= WM_USER && kWmHotKeyExKeyUp >= WM_USER);

static_assert(kShowMinimize == SW_MINIMIZE);
static_assert(cloak::kByProgram == DWM_CLOAKED_APP);
static_assert(cloak::kByShell == DWM_CLOAKED_SHELL);
static_assert(cloak::kInherited == DWM_CLOAKED_INHERITED);
