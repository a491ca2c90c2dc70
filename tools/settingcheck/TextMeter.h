// How wide the module's texts are drawn. The Windows build measures with GDI in the fonts the
// module uses ("Segoe UI"); the native build estimates from a table of character widths
// taken from those measurements (FontTable.inc), scaled to other font sizes, and says so in
// its findings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "DpiScaling.h"
#include "SkinGeometry.h"

namespace settingcheck {

// A font of the module: "Segoe UI" at an em height in pixels.
struct Font {
    int pixels;
    bool bold;
    int points = 0;  // the size the module gives in points (0: it gives the pixels at 96 dpi)
};
constexpr Font kDialogFont{11, false, 8};  // dialog templates: 8 pt at 96 dpi
// Group frames and the message heading: 10 pt bold.
constexpr Font kCaptionFont{dpi::PointsToPixels(skin::kCaptionPoints, dpi::kBase), true,
                            skin::kCaptionPoints};
constexpr Font kButtonFont{skin::kButtonCaptionPixels, true};  // the OK button's caption
constexpr Font kTitleFont{skin::kTitlePixels, true};           // the title band

// The module lays its windows out at the display's dpi (DpiScaling.h): pixels at 96 dpi are
// scaled, fonts in points are made at that dpi.
constexpr Font AtDpi(Font font, int dpi) {
    font.pixels =
        font.points ? dpi::PointsToPixels(font.points, dpi) : dpi::Scale(font.pixels, dpi);
    return font;
}

struct Wrapped {
    int lines = 0;
    int widest = 0;  // widest line; more than the width when a word does not fit
};

class TextMeter {
public:
    virtual ~TextMeter() = default;
    virtual int Width(const std::wstring& text, Font font) const = 0;
    virtual int LineHeight(Font font) const = 0;
    // Word-wrapped as a static text control wraps it (at blanks; a longer word overflows).
    virtual Wrapped Wrap(const std::wstring& text, Font font, int width) const;
    // Dialog base units of the dialog font (at a dpi): a dialog unit is BaseX / 4 by BaseY / 8
    // pixels.
    virtual int BaseUnitX(Font dialogFont) const = 0;
    virtual int BaseUnitY(Font dialogFont) const = 0;
    // What the password dialog's caption bar and borders add to its client area.
    virtual int FrameExtraWidth() const = 0;
    virtual int FrameExtraHeight() const = 0;
    // True when widths are estimated rather than measured.
    virtual bool Estimated() const = 0;
};

// The estimate from the width table (every build has it).
std::unique_ptr<TextMeter> MakeTableMeter();
// GDI measurement (Windows builds only; null elsewhere).
std::unique_ptr<TextMeter> MakeGdiMeter();

// Prints FontTable.inc from GDI measurements (Windows builds; false elsewhere).
bool PrintFontTable();

}  // namespace settingcheck
