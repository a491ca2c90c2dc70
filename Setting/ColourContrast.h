// How far apart two colours are for reading: the contrast ratio of the common accessibility
// guideline, from 1:1 (the same colour) to 21:1 (black on white). Normal text wants 4.5:1.
// Free of platform calls: settingcheck and the tests measure with it.
#pragma once

#include <cstdint>

namespace colour_contrast {

constexpr double kMinimumForText = 4.5;

// The relative luminance of an sRGB colour, 0 (black) to 1 (white).
double RelativeLuminance(uint8_t red, uint8_t green, uint8_t blue);

// The contrast ratio between two relative luminances, in either order.
double Ratio(double luminance1, double luminance2);

}  // namespace colour_contrast
