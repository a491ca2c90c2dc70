#include "Checker.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <system_error>

#include "ConfigKeys.h"
#include "Images.h"
#include "SkinGeometry.h"
#include "Strings.h"
#include "Text.h"

namespace settingcheck {

namespace {

using config::Key;
using config::Kind;
using config::Shown;
using config::Window;

// ---- Geometry the module draws with ---------------------------------------------------------

constexpr int kTitleBand = 30;                     // rows 0..29 of the skinned dialogs
constexpr int kCloseBoxWidth = 35;                 // the close box is drawn from width - 35 ...
constexpr int kCloseBoxBottom = 33;                // ... and clicked down to y 33
constexpr int kFrameCaptionLeft = 9;               // a group frame's caption starts at x 9
constexpr int kClosedListHeight = 22;              // a closed drop-down list in the dialog font
constexpr int kListButtonRoom = 25;                // arrow button and borders of a drop-down list
constexpr int kCheckBoxRoom = 18;                  // the box and the gap before a check box's text
constexpr int kButtonMargins = 8;                  // a push button's borders around its text
constexpr int kTitleLeft = 4;                      // the title is drawn from x 4
constexpr wchar_t kLargestFigure[] = L"4095.999";  // the widest [USED] or [TOTAL]
constexpr size_t kLongestValue = 5119;             // characters the module's reader returns
constexpr int kMostEntries = 1000;                 // list entries looked at
constexpr size_t kMostMissingReported = 5;         // missing entries reported one by one

// Template rectangles (dialog units) of the message dialog and the waiting box.
struct DluRect {
    int width, height;
};
constexpr DluRect kMessageHeading{300, 14};
constexpr DluRect kMessageText{300, 48};
constexpr DluRect kMessageButton{60, 16};
constexpr DluRect kWaitText{207, 10};

// In 64 bits: a position's numbers may be anywhere in the 32-bit range, and so their sums.
struct Rect {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    int64_t Width() const { return right - left; }
    int64_t Height() const { return bottom - top; }
    bool Intersects(const Rect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool Contains(const Rect& o) const {
        return o.left >= left && o.right <= right && o.top >= top && o.bottom <= bottom;
    }
    bool ContainsPoint(int64_t x, int64_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

std::string Describe(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.Width()) +
           "," + std::to_string(r.Height());
}

// A position value as the module reads it, with what looks wrong in it.
struct Placement {
    bool present = false;
    bool usable = false;  // four or five numbers and no negative size
    text::Position pos;
    Rect rect;  // for a drop-down list, the closed box
};

std::string Name(const Key& key) {
    return ToUtf8(key.name);
}

bool IsTextKind(Kind kind) {
    return kind == Kind::Text || kind == Kind::Message || kind == Kind::Placeholders ||
           kind == Kind::Pattern || kind == Kind::List;
}

// Texts of controls that draw "&x" as an underlined x.
bool ProcessesAmpersands(Shown shown) {
    switch (shown) {
        case Shown::CheckBox:
        case Shown::Label:
        case Shown::Link:
        case Shown::Button:
        case Shown::MessageHeading:
        case Shown::MessageText:
        case Shown::MessageButton:
        case Shown::WaitText:
            return true;
        default:
            return false;
    }
}

// The text as such a control draws it: "&&" gives "&", a single "&" disappears.
std::wstring WithoutPrefixes(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') out += L'&';
            ++i;
            if (i < text.size() && text[i] != L'&') out += text[i];
            continue;
        }
        out += text[i];
    }
    return out;
}

// Length of the integer conversion at pattern[at] == '%' as the password dialog fills it
// (flags "-+ #0", width and precision of at most three digits, type d i u x X), or 0.
size_t IntegerConversionAt(const std::wstring& pattern, size_t at) {
    size_t i = at + 1;
    while (i < pattern.size() && std::wstring(L"-+ #0").find(pattern[i]) != std::wstring::npos)
        ++i;
    auto number = [&] {
        size_t digits = 0;
        while (i < pattern.size() && pattern[i] >= L'0' && pattern[i] <= L'9') {
            ++i;
            ++digits;
        }
        return digits <= 3;
    };
    if (!number()) return 0;
    if (i < pattern.size() && pattern[i] == L'.') {
        ++i;
        if (!number()) return 0;
    }
    if (i < pattern.size() && std::wstring(L"diuxX").find(pattern[i]) != std::wstring::npos)
        return i - at + 1;
    return 0;
}

class Checker {
public:
    Checker(const std::filesystem::path& folder, const Platform& platform,
            const CheckOptions& options)
        : folder_(folder), platform_(platform), options_(options) {}

    CheckResult Run() {
        CheckResult result;
        std::error_code error;
        if (!std::filesystem::is_directory(folder_, error)) {
            result.error = "cannot read the folder " + ToUtf8(folder_.wstring()) +
                           (std::filesystem::exists(folder_, error) ? ": it is not a folder"
                                                                    : ": it does not exist");
            return result;
        }
        std::filesystem::directory_iterator probe(folder_, error);
        if (error) {
            result.error =
                "cannot read the folder " + ToUtf8(folder_.wstring()) + ": " + error.message();
            return result;
        }
        result.readable = true;
        LoadFile(config::File::SettingIni);
        LoadFile(config::File::CreateDiskIni);
        CheckPresence();
        CheckUnread(config::File::SettingIni);
        CheckUnread(config::File::CreateDiskIni);
        ReadPositions();
        CheckSettingsLayout();
        CheckPasswordLayout();
        CheckLists();
        CheckTexts();
        CheckImages();
        CheckTextFit();
        result.findings = std::move(findings_);
        return result;
    }

private:
    struct FileState {
        bool present = false;
        IniDocument document;
        std::unique_ptr<ValueSource> values;
    };

    // ---- Findings and values ---------------------------------------------------------------

    void Add(const std::string& check, const Key& key, const std::string& message,
             const std::wstring& keyName = std::wstring()) {
        findings_.push_back({check, ToUtf8(config::FileName(key.file)), ToUtf8(key.section),
                             ToUtf8(keyName.empty() ? std::wstring(key.name) : keyName), message});
    }
    void AddFile(const std::string& check, const std::string& file, const std::string& message) {
        findings_.push_back({check, file, "", "", message});
    }

    FileState& State(config::File file) {
        return file == config::File::SettingIni ? setting_ : createDisk_;
    }
    bool Get(const Key& key, std::wstring& value, const std::wstring& name = std::wstring()) {
        FileState& state = State(key.file);
        if (!state.present || !state.values) return false;
        return state.values->Get(key.section, name.empty() ? key.name : name, value);
    }
    std::wstring Value(const Key& key) {
        std::wstring value;
        Get(key, value);
        return value;
    }

    std::string MeasuredHow() const {
        return platform_.meter->Estimated()
                   ? " (estimated from a table of character widths; the Windows build of "
                     "settingcheck measures it)"
                   : " (measured in \"Segoe UI\" with GDI)";
    }

    // ---- Files ------------------------------------------------------------------------------

    void LoadFile(config::File file) {
        FileState& state = State(file);
        const std::wstring name = config::FileName(file);
        const std::filesystem::path path = ResolveNoCase(folder_, name);
        std::string bytes;
        if (!ReadBytes(path, bytes)) {
            AddFile("file", ToUtf8(name),
                    file == config::File::SettingIni
                        ? "is missing or cannot be read: every text of the settings, password "
                          "and waiting windows is empty and every control is placed at 0,0 "
                          "with size 0"
                        : "is missing or cannot be read: the message window's heading and its "
                          "Yes and No buttons are empty");
            return;
        }
        state.present = true;
        state.document = IniDocument::Parse(bytes);
        state.values = platform_.openValues(path, state.document);
        for (const IniDocument::Issue& issue : state.document.Issues()) {
            findings_.push_back(
                {"syntax", ToUtf8(name), ToUtf8(issue.section), ToUtf8(issue.key), issue.message});
        }
        if (state.document.NonAsciiOutsideUtf16()) {
            const bool utf8 =
                state.document.encoding() == Encoding::Utf8Bom || state.document.ValidUtf8();
            AddFile("encoding", ToUtf8(name),
                    utf8 ? "is saved as UTF-8: the platform reads a file without a UTF-16 "
                           "byte-order mark in the system's ANSI code page, so its non-ASCII "
                           "characters may show wrongly; save it as UTF-16 LE with a "
                           "byte-order mark (\"Unicode\")"
                         : "holds characters outside ASCII in an ANSI code page: they show "
                           "rightly only on systems with the same code page; save it as "
                           "UTF-16 LE with a byte-order mark (\"Unicode\")");
        }
    }

    // ---- Missing and empty keys -----------------------------------------------------------

    void CheckPresence() {
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (key.kind == Kind::List || !State(key.file).present) continue;
            std::wstring value;
            if (!Get(key, value)) {
                if (!key.MayBeEmpty())
                    Add("missing", key, std::string("is missing: ") + key.whenMissing);
                continue;
            }
            // The platform's reader may already have cut it: the file itself tells the length.
            std::wstring whole;
            if (State(key.file).document.Get(key.section, key.name, whole) &&
                whole.size() > kLongestValue) {
                Add("text", key,
                    "is " + std::to_string(whole.size()) +
                        " characters long: the module reads "
                        "only the first " +
                        std::to_string(kLongestValue));
            }
            const bool blank = Trim(value).empty();
            if (blank && !key.MayBeEmpty()) {
                Add("empty", key, std::string("is empty: ") + key.whenMissing);
            } else if (!value.empty() && key.MayBeEmpty() && key.shown == Shown::Edit) {
                // The hidden current-password field is compared with the stored password.
                Add("empty", key,
                    &key == &config::kCurrentEditText
                        ? "is not empty: the hidden current-password field holds this text, so "
                          "every new password is refused as not matching the current one; "
                          "leave the value empty"
                        : "is not empty: the password field starts with this text typed in; "
                          "leave the value empty");
            }
        }
    }

    // Sections and keys the module never reads: most often a misspelt name.
    void CheckUnread(config::File file) {
        FileState& state = State(file);
        if (!state.present) return;
        const std::string fileName = ToUtf8(config::FileName(file));
        for (const IniDocument::Outline& section : state.document.Sections()) {
            bool known = false;
            for (size_t i = 0; i < config::KeyCount(); ++i) {
                const Key& key = *config::AllKeys()[i];
                known = known || (key.file == file && EqualNoCase(key.section, section.section));
            }
            if (!known) {
                findings_.push_back({"unread", fileName, ToUtf8(section.section), "",
                                     "the module reads no section of this name (misspelt?)"});
                continue;
            }
            for (const std::wstring& name : section.keys) {
                if (!IsRead(file, section.section, name)) {
                    findings_.push_back({"unread", fileName, ToUtf8(section.section), ToUtf8(name),
                                         "the module reads no key of this name in this section "
                                         "(misspelt, or in the wrong section?)"});
                }
            }
        }
    }

    static bool IsRead(config::File file, const std::wstring& section, const std::wstring& name) {
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (key.file != file || !EqualNoCase(key.section, section)) continue;
            if (key.kind != Kind::List) {
                if (EqualNoCase(key.name, name)) return true;
                continue;
            }
            // "TIME_" followed by a number, as the list's entries are named.
            const std::wstring prefix =
                std::wstring(key.name).substr(0, std::wstring(key.name).find(L"%d"));
            if (name.size() > prefix.size() && EqualNoCase(name.substr(0, prefix.size()), prefix) &&
                name.find_first_not_of(L"0123456789", prefix.size()) == std::wstring::npos)
                return true;
        }
        return false;
    }

    // ---- Positions ----------------------------------------------------------------------------

    void ReadPositions() {
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (key.kind != Kind::Position) continue;
            Placement& placement = placements_[&key];
            std::wstring value;
            if (!Get(key, value) || Trim(value).empty()) continue;
            placement.present = true;
            placement.pos = text::ParsePosition(value);
            placement.usable = CheckPositionSyntax(key, value);
            const text::Position& p = placement.pos;
            const int64_t height =
                key.shown == Shown::DropDownList ? std::min(p.height, kClosedListHeight) : p.height;
            placement.rect = {p.x, p.y, int64_t{p.x} + p.width, int64_t{p.y} + height};
        }
    }

    // Reports what in a position value the module reads differently from how it looks.
    bool CheckPositionSyntax(const Key& key, const std::wstring& value) {
        std::vector<std::wstring> pieces;
        bool emptyPiece = false;
        size_t start = 0;
        for (;;) {
            const size_t comma = value.find(L',', start);
            // Only a piece with nothing at all is skipped; blanks make a piece read as 0.
            const std::wstring piece = value.substr(start, comma - start);
            if (piece.empty())
                emptyPiece = true;
            else
                pieces.push_back(Trim(piece));
            if (comma == std::wstring::npos) break;
            start = comma + 1;
        }
        bool usable = true;
        if (emptyPiece) {
            Add("position", key,
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
                Add("position", key,
                    "part \"" + ToUtf8(piece) + "\" of \"" + ToUtf8(value) +
                        "\" is not a whole number: it is read as " +
                        std::to_string(text::LeadingInt(piece)));
            }
        }
        if (pieces.size() < 4 || pieces.size() > 5) {
            Add("position", key,
                "\"" + ToUtf8(value) + "\" has " + std::to_string(pieces.size()) +
                    " numbers: a position is x,y,width,height and an optional fifth number "
                    "that hides the " +
                    (key.shown == Shown::Dialog ? "dialog" : "control"));
            usable = pieces.size() >= 4;
        }
        const text::Position p = text::ParsePosition(value);
        if (p.width < 0 || p.height < 0) {
            Add("position", key, "\"" + ToUtf8(value) + "\" has a negative width or height");
            usable = false;
        }
        if (key.shown == Shown::Dialog) {
            if (p.hide) {
                Add("position", key,
                    "the fifth number hides the whole dialog: the user sees nothing and cannot "
                    "close it");
            }
            if (p.width <= 0 || p.height <= 0) {
                Add("position", key, "gives the dialog no size: it cannot be seen");
                usable = false;
            }
        } else if (!p.hide && (p.width == 0 || p.height == 0) &&
                   !(key.flags & config::kNeverShown)) {
            Add("position", key, "has no width or height: the control cannot be seen");
        }
        if (key.shown == Shown::DropDownList && !p.hide && p.height > 0 &&
            p.height < kClosedListHeight + 30) {
            Add("position", key,
                "is " + std::to_string(p.height) +
                    " pixels high: a drop-down list's height is that of the opened list, "
                    "which then shows fewer than two entries");
        }
        return usable;
    }

    // The control's rectangle when it is shown and its position is usable.
    const Placement* Visible(const Key& key) const {
        const auto it = placements_.find(&key);
        if (it == placements_.end()) return nullptr;
        const Placement& p = it->second;
        if (!p.present || !p.usable || p.pos.hide || (key.flags & config::kNeverShown))
            return nullptr;
        if (p.pos.width <= 0 || p.pos.height <= 0) return nullptr;
        return &p;
    }

    // The text key whose control a position places (the frame caption of a frame).
    const Key* TextOf(const Key& position) const {
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (key.placedBy == &position && key.kind != Kind::Image && key.shown == position.shown)
                return &key;
        }
        return nullptr;
    }

    std::vector<const Key*> ControlsOf(Window window) const {
        std::vector<const Key*> controls;
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (key.kind == Kind::Position && key.window == window && key.shown != Shown::Dialog &&
                Visible(key))
                controls.push_back(&key);
        }
        return controls;
    }

    bool DialogSize(const Key& dialogKey, int& width, int& height) const {
        const auto it = placements_.find(&dialogKey);
        if (it == placements_.end() || !it->second.usable || !it->second.present) return false;
        width = it->second.pos.width;
        height = it->second.pos.height;
        return width > 0 && height > 0;
    }

    void CheckBounds(const Key& key, const Rect& r, int width, int height, int top,
                     const std::string& dialog) {
        if (r.left < 0 || r.right > width || r.bottom > height || r.top < 0) {
            Add("layout", key,
                "places the control at " + Describe(r) + ", outside the " + dialog + " (" +
                    std::to_string(width) + " x " + std::to_string(height) + ")");
            return;
        }
        if (top > 0) {
            const Rect closeBox{width - kCloseBoxWidth, 0, width, kCloseBoxBottom};
            if (r.Intersects(closeBox)) {
                Add("layout", key,
                    "places the control at " + Describe(r) +
                        " over the close box (the top-right corner, x " +
                        std::to_string(closeBox.left) + " to " + std::to_string(width) +
                        ", y 0 to " + std::to_string(kCloseBoxBottom) + ")");
            } else if (r.top < top) {
                Add("layout", key,
                    "places the control at " + Describe(r) + " in the title band (the top " +
                        std::to_string(top) + " pixels), where a press drags the window");
            }
        }
    }

    void CheckOverlaps(const std::vector<const Key*>& controls, const std::string& where) {
        for (size_t i = 0; i < controls.size(); ++i) {
            for (size_t j = 0; j < i; ++j) {
                const Rect& a = placements_.at(controls[j]).rect;
                const Rect& b = placements_.at(controls[i]).rect;
                if (a.Intersects(b)) {
                    Add("overlap", *controls[i],
                        "the control at " + Describe(b) + " overlaps " + Name(*controls[j]) +
                            " at " + Describe(a) + " " + where);
                }
            }
        }
    }

    void CheckSettingsLayout() {
        int width = 0, height = 0;
        if (!DialogSize(config::kDialogPos, width, height)) return;
        const std::vector<const Key*> controls = ControlsOf(Window::SettingsDialog);
        std::vector<const Key*> frames;
        for (const Key* key : controls) {
            CheckBounds(*key, placements_.at(key).rect, width, height, kTitleBand,
                        "settings dialog");
            if (key->shown == Shown::Frame) frames.push_back(key);
        }
        CheckOverlaps(frames, "(two group frames)");

        // Each control belongs to the frame its centre lies in, or to the dialog itself.
        std::map<const Key*, std::vector<const Key*>> groups;
        for (const Key* key : controls) {
            if (key->shown == Shown::Frame) continue;
            const Rect& r = placements_.at(key).rect;
            const Key* container = nullptr;
            for (const Key* frame : frames) {
                if (placements_.at(frame).rect.ContainsPoint((r.left + r.right) / 2,
                                                             (r.top + r.bottom) / 2)) {
                    container = frame;
                    break;
                }
            }
            groups[container].push_back(key);
            if (!container) continue;
            const Rect& f = placements_.at(container).rect;
            if (!f.Contains(r)) {
                Add("layout", *key,
                    "the control at " + Describe(r) + " sticks out of its group frame " +
                        Name(*container) + " at " + Describe(f));
            }
            if (const Key* caption = TextOf(*container)) {
                const std::wstring text = Value(*caption);
                const Rect captionRect{
                    f.left + kFrameCaptionLeft, f.top,
                    f.left + kFrameCaptionLeft + platform_.meter->Width(text, kCaptionFont),
                    f.top + platform_.meter->LineHeight(kCaptionFont)};
                if (!text.empty() && r.Intersects(captionRect)) {
                    Add("layout", *key,
                        "the control at " + Describe(r) + " covers the caption of its frame " +
                            Name(*container) + " (" + Describe(captionRect) + ")" + MeasuredHow());
                }
            }
        }
        for (const auto& group : groups) {
            CheckOverlaps(group.second, group.first ? "inside the group frame " + Name(*group.first)
                                                    : "outside the group frames");
        }
    }

    void CheckPasswordLayout() {
        int width = 0, height = 0;
        if (!DialogSize(config::kPassDialogPos, width, height)) return;
        // PASSDLG is the whole window; the controls lie in its client area.
        const int clientWidth = width - platform_.meter->FrameExtraWidth();
        const int clientHeight = height - platform_.meter->FrameExtraHeight();
        const std::vector<const Key*> controls = ControlsOf(Window::PasswordDialog);
        for (const Key* key : controls) {
            CheckBounds(*key, placements_.at(key).rect, clientWidth, clientHeight, 0,
                        "password dialog's client area");
        }
        CheckOverlaps(controls, "in the password dialog");
    }

    // ---- Period lists ---------------------------------------------------------------------

    void CheckLists() {
        if (!setting_.present) return;
        std::wstring countText;
        if (!Get(config::kPeriodCount, countText) || Trim(countText).empty()) return;  // reported
        const int count = text::LeadingInt(countText);
        if (count <= 0) {
            Add("list", config::kPeriodCount,
                "\"" + ToUtf8(countText) +
                    "\" is not a number of entries: both period lists stay empty");
            return;
        }
        if (count > kMostEntries) {
            Add("list", config::kPeriodCount,
                "is " + std::to_string(count) +
                    ": both lists get that many entries, most of them empty (only the first " +
                    std::to_string(kMostEntries) + " are checked)");
        }
        CheckList(config::kSchedulePeriods, std::min(count, kMostEntries), count, 15);
        CheckList(config::kCyclePeriods, std::min(count, kMostEntries), count, 30);
    }

    void CheckList(const Key& list, int checked, int count, int firstMinutes) {
        std::map<int, int> hoursSeenAt;  // hours -> first entry
        int first = -1;
        std::vector<int> missing;
        for (int i = 0; i < checked; ++i) {
            const std::wstring name = list.EntryName(i);
            std::wstring text;
            if (!Get(list, text, name)) {
                missing.push_back(i);
                continue;
            }
            const int hours = text::LeadingInt(text);
            if (i == 0) {
                first = hours;
                if (hours == 0) {
                    Add("list", list,
                        "\"" + ToUtf8(text) +
                            "\" does not start with a number: TIME_0 stands for " +
                            std::to_string(firstMinutes) +
                            " minutes, but a stored period of 0 (option off) would select it too; "
                            "start it with a number that no other entry has",
                        name);
                }
                continue;
            }
            if (hours <= 0) {
                Add("list", list,
                    "\"" + ToUtf8(text) +
                        "\" does not start with its number of hours: the entry stands for " +
                        std::to_string(hours) + " hours",
                    name);
                continue;
            }
            if (&list == &config::kCyclePeriods && int64_t{hours} * 60 > 0xFFFF) {
                Add("list", list,
                    "stands for " + std::to_string(hours) +
                        " hours: the cycle period is kept in minutes in 16 bits, at most 1092 "
                        "hours",
                    name);
            }
            const auto seen = hoursSeenAt.find(hours);
            if (seen != hoursSeenAt.end()) {
                Add("list", list,
                    "starts with " + std::to_string(hours) + " hours like TIME_" +
                        std::to_string(seen->second) +
                        ": the dialog cannot tell the two apart when it shows the stored period",
                    name);
            } else {
                hoursSeenAt[hours] = i;
            }
        }
        ReportMissingEntries(list, missing, count);
        const auto clash = hoursSeenAt.find(first);
        if (first > 0 && clash != hoursSeenAt.end()) {
            Add("list", list,
                "starts with " + std::to_string(first) + " like TIME_" +
                    std::to_string(clash->second) + ": a stored period of " +
                    std::to_string(first) + " hours would select TIME_0 as well",
                list.EntryName(0));
        }
        std::wstring extra;
        if (Get(list, extra, list.EntryName(count))) {
            Add("list", list,
                "is never shown: COUNT of [TIMELIST] is " + std::to_string(count) +
                    " (both lists show that many entries)",
                list.EntryName(count));
        }
    }

    // One finding an entry for a few; one for them all when many are missing.
    void ReportMissingEntries(const Key& list, const std::vector<int>& missing, int count) {
        const std::string effect = ": COUNT of [TIMELIST] is " + std::to_string(count) +
                                   ", so the " +
                                   (&list == &config::kCyclePeriods ? "cycle" : "schedule") +
                                   " list shows an empty entry that stands for 0 hours";
        if (missing.size() <= kMostMissingReported) {
            for (int i : missing)
                Add("list", list, "is missing" + effect, list.EntryName(i));
        } else {
            Add("list", list,
                "is missing, and " + std::to_string(missing.size() - 1) + " more entries up to " +
                    ToUtf8(list.EntryName(missing.back())) + effect + " for each",
                list.EntryName(missing.front()));
        }
    }

    // ---- Placeholders, format sequences, ampersands ----------------------------------------

    void CheckTexts() {
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (!IsTextKind(key.kind)) continue;
            if (key.kind == Kind::List) {
                for (int entry = 0; entry < 1000; ++entry) {
                    std::wstring text;
                    if (!Get(key, text, key.EntryName(entry))) break;
                    CheckText(key, text, key.EntryName(entry));
                }
                continue;
            }
            std::wstring text;
            if (Get(key, text)) CheckText(key, text, std::wstring());
        }
        std::wstring usage;
        if (Get(config::kUsageText, usage) && !Trim(usage).empty()) {
            for (const wchar_t* figure : {L"[USED]", L"[TOTAL]"}) {
                if (usage.find(figure) == std::wstring::npos) {
                    Add("placeholder", config::kUsageText,
                        "has no " + ToUtf8(figure) + ": that figure is not shown");
                }
            }
        }
        CheckPattern();
    }

    std::string WhereReplaced(const config::Placeholder& placeholder) const {
        std::string keys;
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (!(key.flags & placeholder.flag)) continue;
            if (!keys.empty()) keys += " and ";
            keys += Name(key) + " of [" + ToUtf8(key.section) + "]";
        }
        return keys;
    }

    std::string KnownPlaceholders() const {
        std::string list;
        for (size_t i = 0; i < config::PlaceholderCount(); ++i) {
            const config::Placeholder& p = config::Placeholders()[i];
            if (!list.empty()) list += "; ";
            list += ToUtf8(p.text) + " in " + WhereReplaced(p);
        }
        return list;
    }

    void CheckText(const Key& key, const std::wstring& text, const std::wstring& name) {
        for (size_t open = text.find(L'['); open != std::wstring::npos;
             open = text.find(L'[', open + 1)) {
            const size_t close = text.find(L']', open);
            if (close == std::wstring::npos) break;
            const std::wstring inner = text.substr(open + 1, close - open - 1);
            bool looksLikePlaceholder = !inner.empty();
            for (size_t k = 0; k < inner.size(); ++k) {
                const wchar_t c = inner[k];
                const bool letter =
                    (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
                const bool digit = c >= L'0' && c <= L'9';
                if (!letter && !(digit && k > 0)) looksLikePlaceholder = false;
            }
            if (!looksLikePlaceholder) continue;
            const std::wstring placeholder = text.substr(open, close - open + 1);
            const config::Placeholder* known = nullptr;
            const config::Placeholder* nearly = nullptr;
            for (size_t i = 0; i < config::PlaceholderCount(); ++i) {
                const config::Placeholder& p = config::Placeholders()[i];
                if (placeholder == p.text) known = &p;
                if (placeholder != p.text && EqualNoCase(placeholder, p.text)) nearly = &p;
            }
            if (known && (key.flags & known->flag)) continue;
            std::string message;
            if (known) {
                message =
                    ToUtf8(placeholder) +
                    " is not replaced in this text, it shows as written: " + ToUtf8(placeholder) +
                    " is replaced only in " + WhereReplaced(*known);
            } else if (nearly) {
                message = ToUtf8(placeholder) +
                          " shows as written: placeholders are matched exactly, write " +
                          ToUtf8(nearly->text);
            } else {
                message = ToUtf8(placeholder) +
                          " is not a placeholder of the module and shows as written (the "
                          "placeholders are " +
                          KnownPlaceholders() + ")";
            }
            Add("placeholder", key, message, name);
        }
        if (ProcessesAmpersands(key.shown)) {
            for (size_t i = 0; i < text.size(); ++i) {
                if (text[i] != L'&') continue;
                if (i + 1 < text.size() && text[i + 1] == L'&') {
                    ++i;
                    continue;
                }
                Add("text", key,
                    "a single '&' is not shown: the control underlines the character after it; "
                    "write '&&' to show '&'",
                    name);
                break;
            }
        }
    }

    void CheckPattern() {
        const Key& key = config::kPassSaveFailed;
        std::wstring pattern;
        if (!Get(key, pattern) || pattern.empty()) return;
        bool used = false;
        std::wstring first;  // the conversion that receives the code
        for (size_t i = 0; i < pattern.size(); ++i) {
            if (pattern[i] != L'%') continue;
            if (i + 1 < pattern.size() && pattern[i + 1] == L'%') {
                ++i;
                continue;
            }
            const size_t length = IntegerConversionAt(pattern, i);
            if (length > 0 && !used) {
                used = true;
                first = pattern.substr(i, length);
                i += length - 1;
                continue;
            }
            const std::wstring sequence = pattern.substr(
                i, std::max<size_t>(length, std::min<size_t>(2, pattern.size() - i)));
            Add("format", key,
                "\"" + ToUtf8(sequence) + "\" shows as written: " +
                    (used ? "only the first integer conversion, \"" + ToUtf8(first) +
                                "\", receives the engine's error code"
                          : std::string("the text receives one integer, the engine's error "
                                        "code, through its first %d")) +
                    " (write %% for a percent sign)");
            if (length > 0) i += length - 1;
        }
        if (!used) {
            Add("format", key,
                "has no %d: the engine's error code is not shown (the text receives it through "
                "its first %d, %i, %u, %x or %X)");
        }
    }

    // ---- Skin images ---------------------------------------------------------------------------

    // Inspects an image file; reports it missing or undecodable and returns false then.
    bool LoadImage(const std::string& display, const std::wstring& relative, const Key* key,
                   const std::string& effect, ImageInfo& info) {
        const std::filesystem::path path = ResolveNoCase(folder_, relative);
        auto report = [&](const std::string& message) {
            if (key)
                Add("image", *key, message);
            else
                AddFile("image", display, message);
        };
        std::string bytes;
        if (!ReadBytes(path, bytes)) {
            report((key ? "names " + display + ", which " : std::string()) +
                   "is missing or cannot be read: " + effect);
            return false;
        }
        info = InspectImage(bytes);
        if (!info.ok) {
            report((key ? display + ": " : std::string()) + info.problem + ": " + effect);
            return false;
        }
        for (double dpi : {info.dpiX, info.dpiY}) {
            if (dpi > 0 && (dpi < 95.5 || dpi > 96.5)) {
                report((key ? display + " " : std::string()) + "is stored at " +
                       std::to_string(static_cast<int>(dpi + 0.5)) +
                       " dpi: it is drawn scaled to 96 dpi; store it at 96 dpi (3780 pixels per "
                       "metre)");
                break;
            }
        }
        return true;
    }

    // The skin's larger copy of the image at `relative` (decoded as `image`), "name@2x.png"
    // beside "name.png": the module draws it from 144 dpi (150 %) up, when it is exactly twice
    // the size. Reports one that cannot be used.
    void CheckLargerCopy(const std::wstring& relative, const Key* key, const ImageInfo& image) {
        const size_t slash = relative.find_last_of(L"\\/"), dot = relative.rfind(L'.');
        const size_t at = dot == std::wstring::npos || dot < slash + 1 ? relative.size() : dot;
        const std::wstring larger = relative.substr(0, at) + L"@2x" + relative.substr(at);
        const std::filesystem::path path = ResolveNoCase(folder_, larger);
        std::error_code error;
        if (!std::filesystem::exists(path, error)) return;
        const std::string display = ToUtf8(larger.substr(1));
        std::string bytes;
        ImageInfo info;
        if (ReadBytes(path, bytes))
            info = InspectImage(bytes);
        else
            info.problem = "it cannot be read";
        std::string message;
        if (!info.ok) {
            message = (key ? display + ": " : std::string()) + info.problem;
        } else if (info.width != 2 * image.width || info.height != 2 * image.height) {
            message = (key ? display + " " : std::string()) + "is " + std::to_string(info.width) +
                      " x " + std::to_string(info.height) + " pixels, not twice " +
                      ToUtf8(relative.substr(slash + 1)) + " (" + std::to_string(image.width) +
                      " x " + std::to_string(image.height) + ")";
        } else {
            return;
        }
        message += ": the larger copy is not used (from 144 dpi up the image is drawn scaled)";
        if (key)
            Add("image", *key, message);
        else
            AddFile("image", display, message);
    }

    void CheckImages() {
        for (const FixedImage& image : kFixedImages) {
            const std::string display = ToUtf8(std::wstring(image.path).substr(1));
            ImageInfo info;
            if (!LoadImage(display, image.path, nullptr, std::string("not drawn: ") + image.use,
                           info))
                continue;
            CheckLargerCopy(image.path, nullptr, info);
            if (info.width < image.minWidth || info.height < image.minHeight) {
                AddFile("image", display,
                        "is " + std::to_string(info.width) + " x " + std::to_string(info.height) +
                            ", smaller than " + std::to_string(image.minWidth) + " x " +
                            std::to_string(image.minHeight) + ": " + image.use);
            }
        }
        if (!setting_.present) return;
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (key.kind != Kind::Image && key.kind != Kind::Program) continue;
            std::wstring value;
            if (!Get(key, value) || Trim(value).empty()) continue;  // reported as missing
            if (value[0] != L'\\' && value[0] != L'/') {
                Add("path", key,
                    "\"" + ToUtf8(value) +
                        "\" does not start with a backslash: the module appends it to the "
                        "program's folder as it stands, so it names a file beside the folder");
                continue;
            }
            if (key.kind == Kind::Program) continue;  // the tray program is not configuration
            ImageInfo info;
            const std::string display = ToUtf8(value.substr(1));
            if (!LoadImage(display, value, &key, key.whenMissing, info)) continue;
            CheckLargerCopy(value, &key, info);
            if (key.shown == Shown::CloseBoxImage &&
                (info.width < kCloseBoxCellRight || info.height < kCloseBoxCellBottom)) {
                Add("image", key,
                    display + " is " + std::to_string(info.width) + " x " +
                        std::to_string(info.height) +
                        ": the close box is its cell x 20 to 49, y 0 to 24, so it must be at "
                        "least 50 x 25");
            }
            if (key.shown == Shown::ButtonImage && key.placedBy) {
                const Placement* button = Visible(*key.placedBy);
                if (!button) continue;
                const int w = button->pos.width, h = button->pos.height;
                if (info.width < w || info.height < h) {
                    Add("image", key,
                        display + " is " + std::to_string(info.width) + " x " +
                            std::to_string(info.height) + ", smaller than the button (" +
                            std::to_string(w) + " x " + std::to_string(h) + " from " +
                            Name(*key.placedBy) + "): part of the button stays unpainted");
                } else if (info.width > w || info.height > h) {
                    Add("image", key,
                        display + " is " + std::to_string(info.width) + " x " +
                            std::to_string(info.height) + ", larger than the button (" +
                            std::to_string(w) + " x " + std::to_string(h) + " from " +
                            Name(*key.placedBy) + "): it is cut off at the right and bottom");
                }
            }
        }
    }

    // ---- Texts that do not fit -------------------------------------------------------------
    //
    // At the dpi asked for: every rectangle (pixels at 96 dpi) scaled, the fonts made at it.
    // The layout checks above stay at 96 dpi, where the positions are written.

    int Px(int64_t pixels) const {
        return static_cast<int>(std::min<int64_t>(AtDpi(pixels, options_.dpi), INT32_MAX));
    }
    Font Sized(Font font) const { return AtDpi(font, options_.dpi); }
    std::string AtWhichDpi() const {
        return options_.dpi == kBaseDpi ? "" : " at " + std::to_string(options_.dpi) + " dpi";
    }

    int DluX(int dlu) const {
        return (dlu * platform_.meter->BaseUnitX(Sized(kDialogFont)) + 2) / 4;
    }
    int DluY(int dlu) const {
        return (dlu * platform_.meter->BaseUnitY(Sized(kDialogFont)) + 4) / 8;
    }

    void TooWide(const Key& key, const std::wstring& name, const std::string& what, int needed,
                 int room, const std::string& where) {
        Add("text-fit", key,
            what + " is about " + std::to_string(needed) + " pixels wide" + AtWhichDpi() +
                ", but " + where + " leaves " + std::to_string(room) + ": it is likely cut off" +
                MeasuredHow(),
            name);
    }

    void CheckWrapped(const Key& key, const std::wstring& text, Font font, int width, int height,
                      const std::string& where) {
        font = Sized(font);
        const Wrapped wrapped = platform_.meter->Wrap(text, font, width);
        const int needed = wrapped.lines * platform_.meter->LineHeight(font);
        if (wrapped.widest > width) {
            TooWide(key, L"", "a word of the text", wrapped.widest, width, where);
        } else if (needed > height) {
            Add("text-fit", key,
                "the text takes " + std::to_string(wrapped.lines) + " line" +
                    (wrapped.lines == 1 ? "" : "s") + " (" + std::to_string(needed) +
                    " pixels) in " + where + ", which is " + std::to_string(width) + " x " +
                    std::to_string(height) + AtWhichDpi() + ": the rest is likely cut off" +
                    MeasuredHow());
        }
    }

    void CheckSingleLine(const Key& key, const std::wstring& name, const std::wstring& text,
                         Font font, int room, const std::string& where) {
        const int width = platform_.meter->Width(text, Sized(font));
        if (width > room) TooWide(key, name, "the text", width, room, where);
    }

    void CheckTextFit() {
        if (!platform_.meter) return;
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (!IsTextKind(key.kind) || (key.flags & config::kNeverShown)) continue;
            if (key.kind == Kind::List) {
                CheckListEntriesFit(key);
                continue;
            }
            std::wstring value;
            if (!Get(key, value) || value.empty()) continue;
            std::wstring text = ProcessesAmpersands(key.shown) ? WithoutPrefixes(value) : value;
            if (key.flags & config::kUsageFigures) {
                text = text::ReplaceAll(text::ReplaceAll(text, L"[USED]", kLargestFigure),
                                        L"[TOTAL]", kLargestFigure);
            }
            if (key.flags & config::kProductName)
                text = text::ReplaceAll(text, L"[PRODUCTNAME]", options_.productName);
            CheckFit(key, text);
        }
    }

    void CheckFit(const Key& key, const std::wstring& text) {
        switch (key.shown) {
            case Shown::MessageHeading:
                CheckWrapped(key, text, kCaptionFont, DluX(kMessageHeading.width),
                             DluY(kMessageHeading.height), "the message window's heading");
                return;
            case Shown::MessageText:
                CheckWrapped(key, text, kDialogFont, DluX(kMessageText.width),
                             DluY(kMessageText.height), "the message window's text");
                return;
            case Shown::MessageButton:
                CheckSingleLine(key, L"", text, kDialogFont,
                                DluX(kMessageButton.width) - Px(kButtonMargins),
                                "the message window's button");
                return;
            case Shown::WaitText:
                CheckSingleLine(key, L"", text + L"...", kDialogFont, DluX(kWaitText.width),
                                "the waiting box's line (with its three dots)");
                return;
            default:
                break;
        }
        if (!key.placedBy) return;
        if (key.shown == Shown::Title) {
            int width = 0, height = 0;
            if (!DialogSize(*key.placedBy, width, height)) return;
            const int room = Px(width) - Px(kCloseBoxWidth) - Px(kTitleLeft);
            const int needed = platform_.meter->Width(text, Sized(kTitleFont));
            if (needed > room) {
                TooWide(
                    key, L"",
                    "the title (with \"" + ToUtf8(options_.productName) + "\" for [PRODUCTNAME])",
                    needed, room, "the title band left of the close box");
            }
            return;
        }
        const Placement* placement = Visible(*key.placedBy);
        if (!placement) return;
        const int w = Px(placement->pos.width), h = Px(placement->pos.height);
        const std::string where = "its rectangle " + Name(*key.placedBy);
        switch (key.shown) {
            case Shown::CheckBox:
                CheckSingleLine(key, L"", text, kDialogFont, w - Px(kCheckBoxRoom),
                                where + " (after the box)");
                break;
            case Shown::Label:
            case Shown::Link:
                CheckWrapped(key, text, kDialogFont, w, h, where);
                break;
            case Shown::Button:
                CheckSingleLine(key, L"", text, kDialogFont, w - Px(kButtonMargins), where);
                break;
            case Shown::ImageButton:
                CheckSingleLine(key, L"", text, kButtonFont, w, where);
                break;
            case Shown::Frame:
                CheckSingleLine(key, L"", text, kCaptionFont, w - Px(kFrameCaptionLeft),
                                "the frame " + Name(*key.placedBy));
                break;
            case Shown::ListEntry:
                CheckSingleLine(key, L"", text, kDialogFont, w - Px(kListButtonRoom),
                                "the closed list " + Name(*key.placedBy));
                break;
            default:
                break;
        }
    }

    void CheckListEntriesFit(const Key& list) {
        const Placement* placement = list.placedBy ? Visible(*list.placedBy) : nullptr;
        if (!placement) return;
        int count = 0;
        std::wstring countText;
        if (Get(config::kPeriodCount, countText)) count = text::LeadingInt(countText);
        for (int i = 0; i < count && i < 1000; ++i) {
            std::wstring text;
            if (!Get(list, text, list.EntryName(i)) || text.empty()) continue;
            CheckSingleLine(list, list.EntryName(i), text, kDialogFont,
                            Px(placement->pos.width) - Px(kListButtonRoom),
                            "the closed list " + Name(*list.placedBy));
        }
    }

    std::filesystem::path folder_;
    const Platform& platform_;
    CheckOptions options_;
    FileState setting_, createDisk_;
    std::map<const Key*, Placement> placements_;
    std::vector<Finding> findings_;
};

}  // namespace

CheckResult CheckFolder(const std::filesystem::path& folder, const Platform& platform,
                        const CheckOptions& options) {
    return Checker(folder, platform, options).Run();
}

}  // namespace settingcheck
