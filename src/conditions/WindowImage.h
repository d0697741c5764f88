// The picture of a whole target window for the child window selection. A minimised target
// cannot draw itself, so it is shown for the moment of the picture: fully transparent and far
// off the screen, at its normal size, and minimised again afterwards with its styles and
// layering as they were.
#pragma once

#include "base/DesktopTypes.h"
#include "desktop/Desktop.h"

#include <cstdint>

// A target that does not answer within this time is not pictured.
constexpr unsigned kCaptureProbeTimeoutMs = 1000;
// A minimised target is shown this far right of and below its normal place while it draws.
constexpr std::int32_t kOffScreenShift = 10000;

// Takes pictures of other programs' windows.
class CWindowCamera {
public:
    virtual ~CWindowCamera() = default;

    // Replaces the camera's picture with one of width x height pixels, fit for showing's
    // screen, in which target has drawn itself, frame included.
    virtual void takePicture(WinHandle target, WinHandle showing, int width, int height) = 0;
};

enum class Capture {
    taken,
    // Not a window, or No to the question about a minimised target's unreadable layering.
    skipped,
    // Its program did not answer in time: picturing it would wait on it for as long as it is
    // stopped or busy.
    notAnswering,
};

// Takes a picture of the whole window target for the window showing, through camera, and
// sets width and height to its size. Unless taken, the previous picture and size stay.
Capture captureWindowImage(CDesktop& desktop, CWindowCamera& camera, WinHandle target, WinHandle showing,
                           int& width, int& height);
