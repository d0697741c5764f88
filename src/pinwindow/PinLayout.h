// The pin window's geometry at a display scale: which picture it shows, how large the window
// is, where the picture sits in it and where the window sits relative to its target.
#pragma once

#include "base/DesktopTypes.h"

struct PinLayout {
    int dpi = 0;
    int bitmapId = 0;
    // The window relative to the target's top-left corner.
    Rect window;
    // The picture relative to the window's top-left corner.
    Rect picture;

    constexpr bool operator==(const PinLayout&) const = default;
};

// The layout of the normal or the small pin on a monitor of dpi: at 96 DPI the window of
// dialog 131, 20 px right of and 32 px above the target's corner, with the picture in its
// bottom-left corner; at any other DPI the same geometry in proportion, drawn with the
// picture made for the nearest scale (never a smaller one stretched).
PinLayout pinLayout(bool normalPin, int dpi);

// Where the pin window of layout stands for a target at target.
Rect pinRectFor(const PinLayout& layout, const Rect& target);
// Where a target of the size of target stands under a pin window at pin: the inverse of
// pinRectFor, so a dragged pin keeps its place on the target.
Rect targetRectFor(const PinLayout& layout, const Rect& pin, const Rect& target);
