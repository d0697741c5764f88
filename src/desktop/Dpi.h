// Pixel sizes for the display scale. Every size Clavora knows is a size at 96 DPI; a monitor
// at another DPI shows it larger or smaller in proportion.
#pragma once

#include <cstdint>

constexpr int kBaseDpi = 96;

// A length at 96 DPI as it is at dpi, rounded half away from zero as the system's MulDiv does,
// so that sizes computed here agree with those the system computes for dialogs and metrics.
constexpr int scaleToDpi(int length, int dpi) {
    const std::int64_t product = std::int64_t{length} * dpi;
    const std::int64_t half = kBaseDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}
