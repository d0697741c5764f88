// The picture of a whole target window for the child window selection. A minimised target
// cannot draw itself, so it is shown for the moment of the picture: fully transparent and far
// off the screen, at its normal size, and minimised again afterwards with its styles and
// layering as they were.
#pragma once

#include "base/DesktopTypes.h"
#include "desktop/Desktop.h"

#include <cstdint>

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    constexpr bool operator==(const ScreenPoint&) const = default;
};

// A window's placement as the system keeps it (GetWindowPlacement).
struct WindowPlacement {
    std::uint32_t flags = 0;
    std::uint32_t showCmd = 0;
    ScreenPoint minPosition;
    ScreenPoint maxPosition;
    // Where the window is when it is neither minimised nor maximised.
    Rect normal;
    constexpr bool operator==(const WindowPlacement&) const = default;
};

// SW_MINIMIZE: the show command the placement of a target gets when it is minimised again.
constexpr std::uint32_t kShowMinimize = 6;
// A target that does not answer within this time is pictured anyway, as far as it draws.
constexpr unsigned kCaptureProbeTimeoutMs = 1000;
// A minimised target is shown this far right of and below its normal place while it draws.
constexpr std::int32_t kOffScreenShift = 10000;

// What taking a picture needs of a target beyond the desktop seam, and the picture itself.
class CWindowCamera {
public:
    virtual ~CWindowCamera() = default;

    // The placement; a zeroed one when it cannot be read.
    virtual WindowPlacement placement(WinHandle h) = 0;
    virtual void setPlacement(WinHandle h, const WindowPlacement& placement) = 0;
    // WM_SETREDRAW: whether the target redraws itself while it changes.
    virtual void setRedraw(WinHandle h, bool on) = 0;
    // ShowWindow with SW_SHOWNORMAL.
    virtual void showNormal(WinHandle h) = 0;
    // MoveWindow with repainting. It waits for the target, as the rest of the picture does,
    // so that the target is in its place before it draws.
    virtual void moveWindow(WinHandle h, const Rect& r) = 0;
    // WM_SYSCOMMAND SC_MINIMIZE, as the target's own minimise box would do it.
    virtual void minimizeByCommand(WinHandle h) = 0;
    // Sends WM_NULL and waits at most timeoutMs; true when the target answered in time.
    virtual bool answers(WinHandle h, unsigned timeoutMs) = 0;
    // Replaces the camera's picture with one of width x height pixels, fit for showing's
    // screen, in which target has drawn itself, frame included.
    virtual void takePicture(WinHandle target, WinHandle showing, int width, int height) = 0;
};

// Takes a picture of the whole window target for the window showing, through camera, and
// sets width and height to its size. A target that is not a window leaves the previous
// picture and size; so does No to the question about a minimised target's unreadable layering.
void captureWindowImage(CDesktop& desktop, CWindowCamera& camera, WinHandle target, WinHandle showing,
                        int& width, int& height);
