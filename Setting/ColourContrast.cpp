#include "ColourContrast.h"

#include <algorithm>
#include <cmath>

namespace colour_contrast {

namespace {

// A channel of 0..255 in linear light.
double Linear(uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(uint8_t red, uint8_t green, uint8_t blue) {
    return 0.2126 * Linear(red) + 0.7152 * Linear(green) + 0.0722 * Linear(blue);
}

double Ratio(double luminance1, double luminance2) {
    const double lighter = std::max(luminance1, luminance2);
    const double darker = std::min(luminance1, luminance2);
    return (lighter + 0.05) / (darker + 0.05);
}

}  // namespace colour_contrast
