// Pixel sizes for the display scale. Every size Clavora knows is a size at 96 DPI; a monitor
// at another DPI shows it larger or smaller in proportion.
#pragma once

#include <cstdint>

constexpr int kBaseDpi = 96;

// A length at fromDpi as it is at toDpi, rounded half away from zero as the system's MulDiv
// does, so that sizes computed here agree with those the system computes for dialogs, metrics
// and the windows it scales. A length without a known scale stays as it is.
constexpr int scaleBetweenDpis(int length, int fromDpi, int toDpi) {
    if (fromDpi <= 0) return length;
    const std::int64_t product = std::int64_t{length} * toDpi;
    const std::int64_t half = fromDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / fromDpi : -((-product + half) / fromDpi));
}

// A length at 96 DPI as it is at dpi.
constexpr int scaleToDpi(int length, int dpi) { return scaleBetweenDpis(length, kBaseDpi, dpi); }
