// Positions: what each "x,y,width,height[,hide]" value says as the module reads it, and the
// layouts of the settings and password dialogs made of them.
#include <algorithm>
#include <cstdint>
#include <map>

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
using config::Window;

constexpr int kClosedListHeight = 22;  // a closed drop-down list in the dialog font
// The close box as the dialog draws it (from width - 35) and takes presses on it (down to y 33).
constexpr int kCloseBoxWidth = skin::kCloseBoxFromRight;
constexpr int kCloseBoxBottom = skin::kCloseBoxTop + skin::kCloseBoxSize;

std::string Describe(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.Width()) +
           "," + std::to_string(r.Height());
}

// Reports what in a position value the module reads differently from how it looks.
bool CheckPositionSyntax(Context& c, const Key& key, const std::wstring& value) {
    // The module skips only a piece with nothing at all; blanks make a piece read as 0.
    std::vector<std::wstring> pieces = text::PositionPieces(value);
    const bool emptyPiece =
        pieces.size() != static_cast<size_t>(std::count(value.begin(), value.end(), L',')) + 1;
    for (std::wstring& piece : pieces)
        piece = Trim(piece);
    bool usable = true;
    if (emptyPiece) {
        c.Add("position", key,
              "\"" + ToUtf8(value) +
                  "\" has an empty part: empty parts are skipped, so the numbers after it "
                  "move up one place");
    }
    for (const std::wstring& piece : pieces) {
        size_t i = (!piece.empty() && (piece[0] == L'-' || piece[0] == L'+')) ? 1 : 0;
        bool digits = i < piece.size();
        for (; i < piece.size(); ++i)
            digits = digits && piece[i] >= L'0' && piece[i] <= L'9';
        if (!digits) {
            c.Add("position", key,
                  "part \"" + ToUtf8(piece) + "\" of \"" + ToUtf8(value) +
                      "\" is not a whole number: it is read as " +
                      std::to_string(text::LeadingInt(piece)));
        }
    }
    if (pieces.size() < 4 || pieces.size() > 5) {
        c.Add("position", key,
              "\"" + ToUtf8(value) + "\" has " + std::to_string(pieces.size()) +
                  " numbers: a position is x,y,width,height and an optional fifth number "
                  "that hides the " +
                  (key.shown == Shown::Dialog ? "dialog" : "control"));
        usable = pieces.size() >= 4;
    }
    const text::Position p = text::ParsePosition(value);
    if (p.width < 0 || p.height < 0) {
        c.Add("position", key, "\"" + ToUtf8(value) + "\" has a negative width or height");
        usable = false;
    }
    if (key.shown == Shown::Dialog) {
        if (p.hide) {
            c.Add("position", key,
                  "the fifth number hides the whole dialog: the user sees nothing and cannot "
                  "close it");
        }
        if (p.width <= 0 || p.height <= 0) {
            c.Add("position", key, "gives the dialog no size: it cannot be seen");
            usable = false;
        }
    } else if (!p.hide && (p.width == 0 || p.height == 0) && !(key.flags & config::kNeverShown)) {
        c.Add("position", key, "has no width or height: the control cannot be seen");
    }
    if (key.shown == Shown::DropDownList && !p.hide && p.height > 0 &&
        p.height < kClosedListHeight + 30) {
        c.Add("position", key,
              "is " + std::to_string(p.height) +
                  " pixels high: a drop-down list's height is that of the opened list, "
                  "which then shows fewer than two entries");
    }
    return usable;
}

void ReadPositions(Context& c) {
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (key.kind != Kind::Position) continue;
        Placement& placement = c.placements[&key];
        std::wstring value;
        if (!c.Get(key, value) || Trim(value).empty()) continue;
        placement.present = true;
        placement.pos = text::ParsePosition(value);
        placement.usable = CheckPositionSyntax(c, key, value);
        const dpi::Rect placed = dpi::ScaledRect(placement.pos, dpi::kBase);
        const int64_t bottom =
            key.shown == Shown::DropDownList
                ? std::min<int64_t>(placed.bottom, placed.top + kClosedListHeight)
                : placed.bottom;
        placement.rect = {placed.left, placed.top, placed.right, bottom};
    }
}

// The text key whose control a position places (the frame caption of a frame).
const Key* TextOf(const Key& position) {
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (key.placedBy == &position && key.kind != Kind::Image && key.shown == position.shown)
            return &key;
    }
    return nullptr;
}

std::vector<const Key*> ControlsOf(Context& c, Window window) {
    std::vector<const Key*> controls;
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (key.kind == Kind::Position && key.window == window && key.shown != Shown::Dialog &&
            c.Visible(key))
            controls.push_back(&key);
    }
    return controls;
}

void CheckBounds(Context& c, const Key& key, const Rect& r, int width, int height, int top,
                 const std::string& dialog) {
    if (r.left < 0 || r.right > width || r.bottom > height || r.top < 0) {
        c.Add("layout", key,
              "places the control at " + Describe(r) + ", outside the " + dialog + " (" +
                  std::to_string(width) + " x " + std::to_string(height) + ")");
        return;
    }
    if (top > 0) {
        const Rect closeBox{width - kCloseBoxWidth, 0, width, kCloseBoxBottom};
        if (r.Intersects(closeBox)) {
            c.Add("layout", key,
                  "places the control at " + Describe(r) +
                      " over the close box (the top-right corner, x " +
                      std::to_string(closeBox.left) + " to " + std::to_string(width) + ", y 0 to " +
                      std::to_string(kCloseBoxBottom) + ")");
        } else if (r.top < top) {
            c.Add("layout", key,
                  "places the control at " + Describe(r) + " in the title band (the top " +
                      std::to_string(top) + " pixels), where a press drags the window");
        }
    }
}

void CheckOverlaps(Context& c, const std::vector<const Key*>& controls, const std::string& where) {
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            const Rect& a = c.placements.at(controls[j]).rect;
            const Rect& b = c.placements.at(controls[i]).rect;
            if (a.Intersects(b)) {
                c.Add("overlap", *controls[i],
                      "the control at " + Describe(b) + " overlaps " + Name(*controls[j]) + " at " +
                          Describe(a) + " " + where);
            }
        }
    }
}

void CheckSettingsLayout(Context& c) {
    int width = 0, height = 0;
    if (!c.DialogSize(config::kDialogPos, width, height)) return;
    const std::vector<const Key*> controls = ControlsOf(c, Window::SettingsDialog);
    std::vector<const Key*> frames;
    for (const Key* key : controls) {
        CheckBounds(c, *key, c.placements.at(key).rect, width, height, skin::kBandHeight,
                    "settings dialog");
        if (key->shown == Shown::Frame) frames.push_back(key);
    }
    CheckOverlaps(c, frames, "(two group frames)");

    // Each control belongs to the frame its centre lies in, or to the dialog itself.
    std::map<const Key*, std::vector<const Key*>> groups;
    for (const Key* key : controls) {
        if (key->shown == Shown::Frame) continue;
        const Rect& r = c.placements.at(key).rect;
        const Key* container = nullptr;
        for (const Key* frame : frames) {
            if (c.placements.at(frame).rect.ContainsPoint((r.left + r.right) / 2,
                                                          (r.top + r.bottom) / 2)) {
                container = frame;
                break;
            }
        }
        groups[container].push_back(key);
        if (!container) continue;
        const Rect& f = c.placements.at(container).rect;
        if (!f.Contains(r)) {
            c.Add("layout", *key,
                  "the control at " + Describe(r) + " sticks out of its group frame " +
                      Name(*container) + " at " + Describe(f));
        }
        if (const Key* caption = TextOf(*container)) {
            const std::wstring text = c.Value(*caption);
            const Rect captionRect{
                f.left + skin::kCaptionLeft, f.top,
                f.left + skin::kCaptionLeft + c.platform.meter->Width(text, kCaptionFont),
                f.top + c.platform.meter->LineHeight(kCaptionFont)};
            if (!text.empty() && r.Intersects(captionRect)) {
                c.Add("layout", *key,
                      "the control at " + Describe(r) + " covers the caption of its frame " +
                          Name(*container) + " (" + Describe(captionRect) + ")" + c.MeasuredHow());
            }
        }
    }
    for (const auto& group : groups) {
        CheckOverlaps(c, group.second,
                      group.first ? "inside the group frame " + Name(*group.first)
                                  : "outside the group frames");
    }
}

void CheckPasswordLayout(Context& c) {
    int width = 0, height = 0;
    if (!c.DialogSize(config::kPassDialogPos, width, height)) return;
    // PASSDLG is the whole window; the controls lie in its client area.
    const int clientWidth = width - c.platform.meter->FrameExtraWidth();
    const int clientHeight = height - c.platform.meter->FrameExtraHeight();
    const std::vector<const Key*> controls = ControlsOf(c, Window::PasswordDialog);
    for (const Key* key : controls) {
        CheckBounds(c, *key, c.placements.at(key).rect, clientWidth, clientHeight, 0,
                    "password dialog's client area");
    }
    CheckOverlaps(c, controls, "in the password dialog");
}

}  // namespace

void CheckPositions(Context& c) {
    ReadPositions(c);
    CheckSettingsLayout(c);
    CheckPasswordLayout(c);
}

}  // namespace settingcheck
