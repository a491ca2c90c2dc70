// Display scaling as the module does it, free of platform calls (settingcheck and the fuzzers
// build it natively). The configuration's positions and sizes and the skin images are pixels
// at 96 dpi, written for 100 %; every window lays itself out at the dpi of the monitor it is
// on, scaling them, so that the texts (whose fonts scale with the dpi) stay whole.
#pragma once

#include <cstdint>
#include <string>

#include "Text.h"

namespace dpi {

constexpr unsigned kBase = 96;

// `value` held to the 32-bit range.
constexpr int32_t ClampedTo32Bits(int64_t value) {
    return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : int32_t(value);
}

// `value` * `numerator` / `denominator` (denominator > 0) rounded half away from zero, as the
// platform's MulDiv rounds; a result beyond the 32-bit range is clamped to it (MulDiv would
// answer -1, which a caller would take for a size).
constexpr int32_t MulDivClamped(int64_t value, int64_t numerator, int64_t denominator) {
    const int64_t product = value * numerator;
    const int64_t half = denominator / 2;
    return ClampedTo32Bits((product < 0 ? product - half : product + half) / denominator);
}

// `pixels` at 96 dpi, at `dpi` (rounded to the nearest pixel).
constexpr int32_t Scale(int32_t pixels, unsigned dpi) {
    return MulDivClamped(pixels, dpi, kBase);
}

// The em height in pixels of a font of `points` at `dpi`.
constexpr int32_t PointsToPixels(int32_t points, unsigned dpi) {
    return MulDivClamped(points, dpi, 72);
}

// A configured rectangle at `dpi`: its corner and its size each scaled apart, the far edges
// added in 64 bits and clamped to the 32-bit range (numbers near its ends are hostile, not
// wrapped), so that right - left and bottom - top never overflow either.
struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
Rect ScaledRect(const text::Position& position, unsigned dpi);

// From which dpi a skin's larger copy of an image ("name@2x.png" beside "name.png", twice the
// pixels) is drawn instead of the image.
constexpr unsigned kLargerCopyFrom = 144;

// "dir\name@2x.png" for "dir\name.png": the larger copy of a skin image.
std::wstring LargerCopyPath(const std::wstring& path);

}  // namespace dpi
