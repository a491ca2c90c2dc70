// Texts drawn on the skin's images: the OK button's caption on its normal and hover faces, and
// the settings dialog's title on the title band. Every other text of the module's windows has
// a ground of its own: the static texts, the link and the message heading fill their
// rectangles, a group frame draws its caption on an opaque white ground across its line, and
// the platform's controls draw their own. The message window's title, the product's name from
// the engine, is drawn on the same band from the same point as the settings dialog's.
//
// The measure: the contrast ratio (ColourContrast.h) of the text's colour against the average
// relative luminance of the pixels under the text's line box (its width as measured or
// estimated, the font's line height), placed as the module places it at 96 dpi, each pixel as
// drawn over the white ground. Luminance is linear in light, so its average is the ground as
// the eye mixes it around the strokes of a gradient or a flat face; the darkest or lightest
// pixel alone (a border, a shine line) would decide on what the text hardly touches, and a
// share of pixels below the ratio would need a second threshold of its own. At other dpi the
// module draws the same pixels scaled (or a larger copy, not measured here).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "Checks.h"
#include "ColourContrast.h"
#include "Images.h"
#include "SkinGeometry.h"
#include "Strings.h"
#include "TextMeter.h"

namespace settingcheck {

namespace {

using config::Key;

double Luminance(unsigned rgb) {
    return colour_contrast::RelativeLuminance((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

std::string ColourName(unsigned rgb) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06X", rgb & 0xFFFFFF);
    return rgb == 0xFFFFFF ? "white" : rgb == 0x000000 ? "black" : hex;
}

// The image at `relative` with its pixels; false when it cannot be used (reported by the
// image checks).
bool LoadPixels(const Context& c, const std::wstring& relative, ImageInfo& image) {
    std::string bytes;
    if (!ReadBytes(ResolveNoCase(c.folder, relative), bytes)) return false;
    image = InspectImage(bytes, true);
    return image.ok;
}

// The image's column drawn at a column of the window (the rows are the window's own).
using Columns = std::function<int(int x)>;

// The average relative luminance under `box`: the image's pixels as drawn over the white
// ground, and the ground where the image has none.
double AverageLuminance(const ImageInfo& image, const Rect& box, const Columns& columns) {
    const unsigned ground = skin::kGroundColour;
    double sum = 0;
    for (int64_t y = box.top; y < box.bottom; ++y) {
        for (int64_t x = box.left; x < box.right; ++x) {
            const int ix = columns(static_cast<int>(x));
            if (ix < 0 || ix >= image.width || y >= image.height) {
                sum += Luminance(ground);
                continue;
            }
            const uint32_t pixel = image.Pixel(ix, static_cast<int>(y));
            const unsigned alpha = pixel >> 24;
            unsigned drawn = 0;
            for (int shift : {16, 8, 0}) {
                const unsigned over = (pixel >> shift) & 0xFF, under = (ground >> shift) & 0xFF;
                drawn |= (over * alpha + under * (255 - alpha) + 127) / 255 << shift;
            }
            sum += Luminance(drawn);
        }
    }
    return sum / static_cast<double>(box.Width() * box.Height());
}

// Whether `text` (0xRRGGBB) reads on the pixels under `box`: its ratio in `ratio` when not.
bool TooLittleContrast(unsigned text, const ImageInfo& image, const Rect& box,
                       const Columns& columns, double& ratio) {
    if (box.Width() <= 0 || box.Height() <= 0) return false;
    ratio = colour_contrast::Ratio(Luminance(text), AverageLuminance(image, box, columns));
    return ratio < colour_contrast::kMinimumForText;
}

// One decimal, rounded down: a ratio just short of the minimum never reads as reaching it.
std::string Figure(double ratio) {
    char figure[16];
    std::snprintf(figure, sizeof figure, "%.1f", std::floor(ratio * 10) / 10);
    return figure;
}

// "has a contrast of 2.1 : 1 on IMAGE (below 4.5 : 1, ...)"
std::string TooLow(double ratio, const std::string& image) {
    return "has a contrast of " + Figure(ratio) + " : 1 on " + image + " (below " +
           Figure(colour_contrast::kMinimumForText) +
           " : 1, measured against the average of the pixels under the text)";
}

// The text's line box, `width` x `height` clipped to `room`, at (left, top) of it or centred.
Rect LineBox(int left, int top, int width, int height, int roomWidth, int roomHeight,
             bool centred) {
    width = std::min(width, roomWidth - (centred ? 0 : left));
    height = std::min(height, roomHeight - (centred ? 0 : top));
    if (centred) {
        left = (roomWidth - width) / 2;
        top = (roomHeight - height) / 2;
    }
    return {left, top, left + width, top + height};
}

// The OK caption on each face, drawn at the button's top left at the face's own size.
void CheckOkCaption(Context& c) {
    const Placement* button = c.Visible(config::kOkPos);
    std::wstring caption;
    if (!button || !c.Get(config::kOkText, caption) || caption.empty()) return;
    caption = WithoutPrefixes(caption);
    const int w = button->pos.width, h = button->pos.height;
    const TextMeter& meter = *c.platform.meter;
    const Rect box =
        LineBox(0, 0, meter.Width(caption, kButtonFont), meter.LineHeight(kButtonFont), w, h, true);
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (key.shown != config::Shown::ButtonImage || key.placedBy != &config::kOkPos) continue;
        std::wstring value;
        ImageInfo face;
        if (!c.Get(key, value) || value.empty() || (value[0] != L'\\' && value[0] != L'/') ||
            !LoadPixels(c, value, face)) {
            continue;
        }
        double ratio = 0;
        if (TooLittleContrast(
                skin::kButtonCaptionColour, face, box, [](int x) { return x; }, ratio)) {
            c.Add("contrast", key,
                  "the OK caption (" + ColourName(skin::kButtonCaptionColour) + ") " +
                      TooLow(ratio, ToUtf8(value.substr(1))));
        }
    }
}

// The band's column under the window's column `x` of a window `width` wide: the left end, the
// middle repeated from its own x, the right end at the window's right.
int BandColumn(int x, int width) {
    using namespace skin;
    if (x >= width - kBandRight.width) return kBandRight.x + x - (width - kBandRight.width);
    if (x < kBandMiddle.x) return kBandLeft.x + x;
    return kBandMiddle.x + (x - kBandMiddle.x) % kBandMiddle.width;
}

// The settings dialog's title on the band, from its left up to the close box.
void CheckTitle(Context& c) {
    int width = 0, height = 0;
    std::wstring title;
    if (!c.DialogSize(config::kDialogPos, width, height) || !c.Get(config::kTitle, title)) return;
    title = text::ReplaceAll(title, L"[PRODUCTNAME]", c.options.productName);
    ImageInfo band;
    if (title.empty() || !LoadPixels(c, skin::kBandImage, band)) return;
    const TextMeter& meter = *c.platform.meter;
    const Rect box = LineBox(skin::kTitleLeft, skin::kTitleTop, meter.Width(title, kTitleFont),
                             meter.LineHeight(kTitleFont), width - skin::kCloseBoxFromRight,
                             skin::kBandHeight, false);
    double ratio = 0;
    if (TooLittleContrast(
            skin::kTitleColour, band, box, [width](int x) { return BandColumn(x, width); },
            ratio)) {
        const std::wstring path = skin::kBandImage;
        c.AddFile("contrast", ToUtf8(path.substr(1)),
                  "the settings dialog's title (" + ColourName(skin::kTitleColour) +
                      ", TITLE of [SETTING]) " + TooLow(ratio, "the title band"));
    }
}

}  // namespace

void CheckContrast(Context& c) {
    if (!c.setting.present || !c.platform.meter) return;
    CheckOkCaption(c);
    CheckTitle(c);
}

}  // namespace settingcheck
