#include "pinwindow/PinLayout.h"

#include "desktop/Dpi.h"
#include "resource.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

// The pin sits this far right of and above the target's top-left corner.
constexpr int kPinOffsetX = 20;
constexpr int kPinOffsetY = 32;
// The window dialog 131 gets from its font at 96 DPI. Its size is fixed here rather than
// taken from the template, so that the pin stands in the same place on every system and the
// geometry scales exactly with the DPI, which a font's pixel sizes do not.
constexpr int kPinWindowWidth = 52;
constexpr int kPinWindowHeight = 62;

struct PinArt {
    int percent;
    int normalId;
    int smallId;
};

// The scales the pictures were drawn for (res/tools/make_art.py draws the same ones).
constexpr PinArt kArt[] = {
    {100, IDB_PIN_NORMAL, IDB_PIN_SMALL},
    {125, IDB_PIN_NORMAL_125, IDB_PIN_SMALL_125},
    {150, IDB_PIN_NORMAL_150, IDB_PIN_SMALL_150},
    {200, IDB_PIN_NORMAL_200, IDB_PIN_SMALL_200},
};

constexpr int kNormalWidth = 52;
constexpr int kNormalHeight = 50;
constexpr int kSmallWidth = 30;
constexpr int kSmallHeight = 29;

// The size the drawing tool gives a picture at percent: half a pixel rounded up.
constexpr int artLength(int length, int percent) { return (length * percent + 50) / 100; }

}  // namespace

PinLayout pinLayout(bool normalPin, int dpi) {
    const int percent = dpi * 100 / kBaseDpi;
    const PinArt& art =
        *std::min_element(std::begin(kArt), std::end(kArt), [percent](const PinArt& a, const PinArt& b) {
            return std::abs(a.percent - percent) < std::abs(b.percent - percent);
        });
    const int width = artLength(normalPin ? kNormalWidth : kSmallWidth, art.percent);
    const int height = artLength(normalPin ? kNormalHeight : kSmallHeight, art.percent);
    // The picture's top above the window's bottom at 96 DPI, in proportion.
    const int pictureTop = scaleToDpi(kPinWindowHeight - (normalPin ? kNormalHeight : kSmallHeight), dpi);

    PinLayout layout;
    layout.dpi = dpi;
    layout.bitmapId = normalPin ? art.normalId : art.smallId;
    layout.picture = Rect{0, pictureTop, width, pictureTop + height};
    const int left = scaleToDpi(kPinOffsetX, dpi);
    const int top = -scaleToDpi(kPinOffsetY, dpi);
    // A picture from a larger scale than the DPI's still shows whole.
    const int windowWidth = std::max(scaleToDpi(kPinWindowWidth, dpi), width);
    const int windowHeight = std::max(scaleToDpi(kPinWindowHeight, dpi), layout.picture.bottom);
    layout.window = Rect{left, top, left + windowWidth, top + windowHeight};
    return layout;
}

Rect pinRectFor(const PinLayout& layout, const Rect& target) {
    return Rect{target.left + layout.window.left, target.top + layout.window.top,
                target.left + layout.window.right, target.top + layout.window.bottom};
}

Rect targetRectFor(const PinLayout& layout, const Rect& pin, const Rect& target) {
    const int left = pin.left - layout.window.left;
    const int top = pin.top - layout.window.top;
    return Rect{left, top, left + target.width(), top + target.height()};
}
