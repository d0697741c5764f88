// Plain value types shared by the portable logic and the desktop seam.
// No <windows.h> here: the logic must compile and be tested on any platform.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

// Opaque handle of a window of any program; WinHandle{} means "no window".
enum class WinHandle : std::uintptr_t {};

constexpr WinHandle kNoWindow{};

// Handles are printed by traces as 32-bit hexadecimal numbers.
inline unsigned handleBits(WinHandle h) { return static_cast<unsigned>(static_cast<std::uintptr_t>(h)); }

// Screen rectangle in pixels; a zero width means "no position yet".
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    constexpr std::int32_t width() const { return right - left; }
    constexpr std::int32_t height() const { return bottom - top; }
    constexpr bool operator==(const Rect&) const = default;
};

// True when the two rectangles share at least one pixel.
constexpr bool intersects(const Rect& a, const Rect& b) {
    return a.left < a.right && a.top < a.bottom && b.left < b.right && b.top < b.bottom && a.left < b.right &&
           b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// r moved, not resized, so that it lies within area as far as it fits: its right and bottom
// edges come inside first, then its left and top edges, so that of a window larger than area
// the caption's start stays within reach.
constexpr Rect movedInside(const Rect& r, const Rect& area) {
    const std::int32_t dx = std::max(area.left - r.left, std::min(0, area.right - r.right));
    const std::int32_t dy = std::max(area.top - r.top, std::min(0, area.bottom - r.bottom));
    return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// Layered-window attributes as the system keeps them for a window.
struct LayeredAttributes {
    std::uint32_t colorKey = 0xFFFFFF;
    std::uint8_t alpha = 255;
    std::uint32_t flags = 0;

    constexpr bool operator==(const LayeredAttributes&) const = default;
};

// What the system tells about a window's frame and styles (kept with a child record).
struct WindowInfo {
    Rect window;
    Rect client;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::uint32_t status = 0;
    std::uint32_t borderX = 0;
    std::uint32_t borderY = 0;
    std::uint16_t classAtom = 0;
    std::uint16_t creatorVersion = 0;
};

// One monitor as the system reported it at enumeration time.
struct MonitorRecord {
    Rect monitor;
    Rect work;
    std::uint32_t flags = 0;  // 1 = primary
    std::string device;
    Rect enumRect;  // the rectangle handed to the enumeration callback
    int dpi = 96;   // the monitor's effective DPI
};

// Window styles the logic tests for; values are the platform's.
namespace style {
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kMaximize = 0x01000000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kSysMenu = 0x00080000;
constexpr std::uint32_t kDisabled = 0x08000000;
constexpr std::uint32_t kMinimize = 0x20000000;
constexpr std::uint32_t kExLayered = 0x00080000;
constexpr std::uint32_t kExTopmost = 0x00000008;
constexpr std::uint32_t kLayeredColorKey = 0x1;
constexpr std::uint32_t kLayeredAlpha = 0x2;
}  // namespace style

template <>
struct std::hash<WinHandle> {
    std::size_t operator()(WinHandle h) const noexcept {
        return std::hash<std::uintptr_t>{}(static_cast<std::uintptr_t>(h));
    }
};
