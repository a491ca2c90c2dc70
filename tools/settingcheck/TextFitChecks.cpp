// Texts likely too wide for their controls, at the dpi asked for: every rectangle (pixels at
// 96 dpi) scaled, the fonts made at it. The layout checks stay at 96 dpi, where the positions
// are written.
#include <algorithm>

#include "Checks.h"
#include "DpiScaling.h"
#include "SkinGeometry.h"
#include "Strings.h"
#include "TextMeter.h"

namespace settingcheck {

namespace {

using config::Key;
using config::Kind;
using config::Shown;

constexpr int kListButtonRoom = 25;                // arrow button and borders of a drop-down list
constexpr int kCheckBoxRoom = 18;                  // the box and the gap before a check box's text
constexpr int kButtonMargins = 8;                  // a push button's borders around its text
constexpr wchar_t kLargestFigure[] = L"4095.999";  // the widest [USED] or [TOTAL]

// Template rectangles (dialog units) of the message dialog and the waiting box.
struct DluRect {
    int width, height;
};
constexpr DluRect kMessageHeading{300, 14};
constexpr DluRect kMessageText{300, 48};
constexpr DluRect kMessageButton{60, 16};
constexpr DluRect kWaitText{207, 10};

int Px(const Context& c, int pixels) {
    return dpi::Scale(pixels, c.options.dpi);
}
Font Sized(const Context& c, Font font) {
    return AtDpi(font, c.options.dpi);
}
std::string AtWhichDpi(Context& c) {
    return c.options.dpi == int{dpi::kBase} ? "" : " at " + std::to_string(c.options.dpi) + " dpi";
}

int DluX(Context& c, int dlu) {
    return (dlu * c.platform.meter->BaseUnitX(Sized(c, kDialogFont)) + 2) / 4;
}
int DluY(Context& c, int dlu) {
    return (dlu * c.platform.meter->BaseUnitY(Sized(c, kDialogFont)) + 4) / 8;
}

void TooWide(Context& c, const Key& key, const std::wstring& name, const std::string& what,
             int needed, int room, const std::string& where) {
    c.Add("text-fit", key,
          what + " is about " + std::to_string(needed) + " pixels wide" + AtWhichDpi(c) + ", but " +
              where + " leaves " + std::to_string(room) + ": it is likely cut off" +
              c.MeasuredHow(),
          name);
}

void CheckWrapped(Context& c, const Key& key, const std::wstring& text, Font font, int width,
                  int height, const std::string& where) {
    font = Sized(c, font);
    const Wrapped wrapped = c.platform.meter->Wrap(text, font, width);
    const int needed = wrapped.lines * c.platform.meter->LineHeight(font);
    if (wrapped.widest > width) {
        TooWide(c, key, L"", "a word of the text", wrapped.widest, width, where);
    } else if (needed > height) {
        c.Add("text-fit", key,
              "the text takes " + std::to_string(wrapped.lines) + " line" +
                  (wrapped.lines == 1 ? "" : "s") + " (" + std::to_string(needed) + " pixels) in " +
                  where + ", which is " + std::to_string(width) + " x " + std::to_string(height) +
                  AtWhichDpi(c) + ": the rest is likely cut off" + c.MeasuredHow());
    }
}

void CheckSingleLine(Context& c, const Key& key, const std::wstring& name, const std::wstring& text,
                     Font font, int room, const std::string& where) {
    const int width = c.platform.meter->Width(text, Sized(c, font));
    if (width > room) TooWide(c, key, name, "the text", width, room, where);
}

void CheckFit(Context& c, const Key& key, const std::wstring& text) {
    switch (key.shown) {
        case Shown::MessageHeading:
            CheckWrapped(c, key, text, kCaptionFont, DluX(c, kMessageHeading.width),
                         DluY(c, kMessageHeading.height), "the message window's heading");
            return;
        case Shown::MessageText:
            CheckWrapped(c, key, text, kDialogFont, DluX(c, kMessageText.width),
                         DluY(c, kMessageText.height), "the message window's text");
            return;
        case Shown::MessageButton:
            CheckSingleLine(c, key, L"", text, kDialogFont,
                            DluX(c, kMessageButton.width) - Px(c, kButtonMargins),
                            "the message window's button");
            return;
        case Shown::WaitText:
            CheckSingleLine(c, key, L"", text + L"...", kDialogFont, DluX(c, kWaitText.width),
                            "the waiting box's line (with its three dots)");
            return;
        default:
            break;
    }
    if (!key.placedBy) return;
    if (key.shown == Shown::Title) {
        int width = 0, height = 0;
        if (!c.DialogSize(*key.placedBy, width, height)) return;
        const int room = Px(c, width) - Px(c, skin::kCloseBoxFromRight) - Px(c, skin::kTitleLeft);
        const int needed = c.platform.meter->Width(text, Sized(c, kTitleFont));
        if (needed > room) {
            TooWide(c, key, L"",
                    "the title (with \"" + ToUtf8(c.options.productName) + "\" for [PRODUCTNAME])",
                    needed, room, "the title band left of the close box");
        }
        return;
    }
    const Placement* placement = c.Visible(*key.placedBy);
    if (!placement) return;
    const int w = Px(c, placement->pos.width), h = Px(c, placement->pos.height);
    const std::string where = "its rectangle " + Name(*key.placedBy);
    switch (key.shown) {
        case Shown::CheckBox:
            CheckSingleLine(c, key, L"", text, kDialogFont, w - Px(c, kCheckBoxRoom),
                            where + " (after the box)");
            break;
        case Shown::Label:
        case Shown::Link:
            CheckWrapped(c, key, text, kDialogFont, w, h, where);
            break;
        case Shown::Button:
            CheckSingleLine(c, key, L"", text, kDialogFont, w - Px(c, kButtonMargins), where);
            break;
        case Shown::ImageButton:
            CheckSingleLine(c, key, L"", text, kButtonFont, w, where);
            break;
        case Shown::Frame:
            CheckSingleLine(c, key, L"", text, kCaptionFont, w - Px(c, skin::kCaptionLeft),
                            "the frame " + Name(*key.placedBy));
            break;
        case Shown::ListEntry:
            CheckSingleLine(c, key, L"", text, kDialogFont, w - Px(c, kListButtonRoom),
                            "the closed list " + Name(*key.placedBy));
            break;
        default:
            break;
    }
}

void CheckListEntriesFit(Context& c, const Key& list) {
    const Placement* placement = list.placedBy ? c.Visible(*list.placedBy) : nullptr;
    if (!placement) return;
    int count = 0;
    std::wstring countText;
    if (c.Get(config::kPeriodCount, countText)) count = text::LeadingInt(countText);
    for (int i = 0; i < count && i < 1000; ++i) {
        std::wstring text;
        if (!c.Get(list, text, list.EntryName(i)) || text.empty()) continue;
        CheckSingleLine(c, list, list.EntryName(i), text, kDialogFont,
                        Px(c, placement->pos.width) - Px(c, kListButtonRoom),
                        "the closed list " + Name(*list.placedBy));
    }
}

}  // namespace

void CheckTextFit(Context& c) {
    if (!c.platform.meter) return;
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (!IsTextKind(key.kind) || (key.flags & config::kNeverShown)) continue;
        if (key.kind == Kind::List) {
            CheckListEntriesFit(c, key);
            continue;
        }
        std::wstring value;
        if (!c.Get(key, value) || value.empty()) continue;
        std::wstring text = ProcessesAmpersands(key.shown) ? WithoutPrefixes(value) : value;
        if (key.flags & config::kUsageFigures) {
            text = text::ReplaceAll(text::ReplaceAll(text, L"[USED]", kLargestFigure), L"[TOTAL]",
                                    kLargestFigure);
        }
        if (key.flags & config::kProductName)
            text = text::ReplaceAll(text, L"[PRODUCTNAME]", c.options.productName);
        CheckFit(c, key, text);
    }
}

}  // namespace settingcheck
