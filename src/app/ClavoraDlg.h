// The decisions of the resident main window: where the main panel goes, when it may show,
// how the tray icon is added, and which tray clicks and system commands it acts on. The Win32
// window (app/win32/MainWindow) carries them out.
#pragma once

#include "desktop/Desktop.h"

#include <cstdint>
#include <functional>
#include <optional>

inline constexpr char kIniFileName[] = "Clavora.ini";

struct PanelPoint {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const PanelPoint&) const = default;
};

// Where the main panel's window goes so that its visible frame touches the bottom-right
// corner of the work area. The window rectangle may be larger than the visible frame (the
// invisible resize borders of newer systems); the difference is taken as equal on both sides.
PanelPoint mainPanelPosition(const Rect& frame, const Rect& window, const Rect& workArea);

// Top-left corner of an icon drawn centred in a client area (the minimised window's picture).
PanelPoint centredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

// WM_WINDOWPOSCHANGING's flags: whether the panel is meant to be shown alone decides whether
// the window may show, whoever asks.
std::uint32_t posChangingFlags(std::uint32_t flags, bool shown);

enum class TrayOp { add, modify };
// One call on the tray icon: the error code when it failed, nullopt when it succeeded.
using TrayCall = std::function<std::optional<std::uint32_t>(TrayOp)>;

// Adds the tray icon through call. While the notification area answers with time-outs this
// asks whether the icon arrived after all and, if not, tries again, a few times at most; then,
// or at any other error, it traces and leaves the rest to the tray timer.
void addTrayIcon(const TrayCall& call);

// The system's version as it tells it to Clavora (major 0 when it could not be asked).
struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
};
// Whether the main panel extends its frame into the client area and paints its controls on
// black: only where the system draws that frame as glass.
bool drawsGlass(OsVersion version, bool compositionOn);

// What a mouse message on the tray icon asks for; ignore leaves it to the default handling.
enum class TrayClick { ignore, swallow, showPanel, showMenu };
TrayClick trayClick(std::uint32_t mouseMessage);

// True for the system menu's About item, whatever the system keeps in the low four bits.
bool isAboutCommand(unsigned command);
