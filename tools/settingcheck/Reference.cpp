// The key reference, generated from the table of keys (Setting/ConfigKeyList.h).
#include <map>

#include "Command.h"
#include "ConfigKeys.h"
#include "SkinGeometry.h"
#include "SkinImages.h"
#include "Strings.h"

namespace settingcheck {

namespace {

using config::Key;
using config::Kind;

const char* KindForm(Kind kind) {
    switch (kind) {
        case Kind::Text:
            return "shown as written";
        case Kind::Message:
            return "shown as written in a message";
        case Kind::Placeholders:
            return "shown with its placeholders replaced (below)";
        case Kind::Pattern:
            return "a message whose first `%d` (or `%i`, `%u`, `%x`, `%X`, with flags, width "
                   "and precision) receives the engine's error code; `%%` shows `%`; every "
                   "other `%` sequence shows as written";
        case Kind::Position:
            return "`x,y,width,height[,hide]` in pixels; a fifth number other than 0 hides the "
                   "control; empty parts are skipped, missing numbers are 0";
        case Kind::Integer:
            return "a decimal number";
        case Kind::List:
            return "numbered entries `TIME_0`, `TIME_1`, ... whose texts start with their "
                   "number of hours";
        case Kind::Image:
            return "an image file (PNG or BMP) relative to the program's folder, starting "
                   "with a backslash";
        case Kind::Program:
            return "a program relative to the program's folder, starting with a backslash";
    }
    return "";
}

const char* ShownName(config::Shown shown) {
    using config::Shown;
    switch (shown) {
        case Shown::None:
            return "";
        case Shown::Dialog:
            return "its size";
        case Shown::Title:
            return "title band, one line";
        case Shown::CheckBox:
            return "check box, one line";
        case Shown::Label:
            return "label, wrapped";
        case Shown::Link:
            return "link, wrapped";
        case Shown::Button:
            return "button, one line";
        case Shown::ImageButton:
            return "OK button, one line";
        case Shown::Spoken:
            return "read by screen readers, not drawn";
        case Shown::Frame:
            return "group frame, one line";
        case Shown::DropDownList:
            return "drop-down list";
        case Shown::ListEntry:
            return "list entry, one line";
        case Shown::Edit:
            return "password field";
        case Shown::MessageHeading:
            return "heading, wrapped";
        case Shown::MessageText:
            return "text, wrapped";
        case Shown::MessageButton:
            return "button, one line";
        case Shown::WaitText:
            return "one line and up to three dots";
        case Shown::CloseBoxImage:
            return "close box";
        case Shown::ButtonImage:
            return "OK button's face";
    }
    return "";
}

std::string ShownIn(const Key& key) {
    if (key.window == config::Window::None) return "";
    std::string where = config::WindowName(key.window);
    const std::string how = ShownName(key.shown);
    return how.empty() ? where : where + ": " + how;
}

std::string Cell(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '|')
            out += "\\|";
        else
            out += c;
    }
    return out;
}

std::string Notes(const Key& key) {
    std::string notes;
    auto add = [&](const std::string& note) {
        if (!notes.empty()) notes += "; ";
        notes += note;
    };
    if (key.flags & config::kMayBeEmpty) add("leave empty");
    if (key.flags & config::kNeverShown) add("never shown");
    for (size_t i = 0; i < config::PlaceholderCount(); ++i) {
        const config::Placeholder& p = config::Placeholders()[i];
        if (key.flags & p.flag) add("replaces `" + ToUtf8(p.text) + "`");
    }
    const bool fits = key.shown != config::Shown::Edit && !(key.flags & config::kNeverShown);
    if (key.placedBy && key.kind != Kind::Position && fits) {
        add(std::string(key.kind == Kind::Image ? "the size of" : "fits") + " `" +
            ToUtf8(key.placedBy->name) + "` of [" + ToUtf8(key.placedBy->section) + "]");
    }
    if (key.shown == config::Shown::CloseBoxImage)
        add("at least " + Size(skin::kCloseBoxCell.Right(), skin::kCloseBoxCell.Bottom()));
    return notes;
}

std::string KeyName(const Key& key) {
    if (key.kind == Kind::List) return "`TIME_0` ... `TIME_<COUNT-1>`";
    return "`" + ToUtf8(key.name) + "`";
}

void WriteFile(std::ostream& out, config::File file) {
    out << "## " << ToUtf8(config::FileName(file)) << "\n\n";
    // Sections in the order of the table; names that differ only in case are one section.
    std::vector<std::wstring> sections;
    std::map<std::wstring, std::vector<std::wstring>> spellings;
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (key.file != file) continue;
        const std::wstring folded = Lower(key.section);
        if (!spellings.count(folded)) sections.push_back(folded);
        auto& names = spellings[folded];
        bool known = false;
        for (const auto& name : names)
            known = known || name == key.section;
        if (!known) names.push_back(key.section);
    }
    for (const std::wstring& folded : sections) {
        const auto& names = spellings[folded];
        out << "### [" << ToUtf8(names[0]) << "]\n\n";
        if (names.size() > 1) {
            out << "The module also names it";
            for (size_t i = 1; i < names.size(); ++i)
                out << (i > 1 ? ", " : " ") << "[" << ToUtf8(names[i]) << "]";
            out << ": section names are not case-sensitive, so this is one section.\n\n";
        }
        out << "| Key | Kind | Shown in | Read by | When missing or empty | Notes |\n";
        out << "|---|---|---|---|---|---|\n";
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            if (key.file != file || Lower(key.section) != folded) continue;
            out << "| " << KeyName(key) << " | " << config::KindName(key.kind) << " | "
                << Cell(ShownIn(key)) << " | " << Cell(key.readBy) << " | " << Cell(key.whenMissing)
                << " | " << Cell(Notes(key)) << " |\n";
        }
        out << "\n";
    }
}

}  // namespace

void WriteReference(std::ostream& out) {
    out << "# Configuration reference\n\n"
           "<!-- Generated by `settingcheck --reference` from Setting/ConfigKeyList.h; do not "
           "edit. -->\n\n"
           "The settings module takes every word it shows and every rectangle it places from "
           "two INI files beside the host program, `Setting.ini` and `CreateDisk.ini`, and its "
           "look from the images under `skin\\default`. This reference lists every key the "
           "module reads. It is generated from the same table the module reads its keys "
           "through, so it is complete.\n\n"
           "The files are read only, never written. Section and key names are not "
           "case-sensitive; blanks around names and values are dropped; a value in matching "
           "double (or single) quotes keeps its blanks and loses the quotes; lines starting "
           "with `;` are comments. Save a file with texts outside ASCII as UTF-16 LE with a "
           "byte-order mark (\"Unicode\"); any other file is read in the system's ANSI code "
           "page. A missing key is never an error: it reads as an empty text or 0, with the "
           "effect given for each key below.\n\n";

    out << "## Kinds of values\n\n| Kind | Form |\n|---|---|\n";
    for (Kind kind : {Kind::Text, Kind::Message, Kind::Placeholders, Kind::Pattern, Kind::Position,
                      Kind::Integer, Kind::List, Kind::Image, Kind::Program}) {
        out << "| " << config::KindName(kind) << " | " << Cell(KindForm(kind)) << " |\n";
    }
    out << "\nPositions are in pixels in the client area of the window that holds the "
           "control. For a whole dialog (`SET_FRAME`, `PASSDLG`) only the width and height "
           "count: the dialog is centred. The settings dialog's top "
        << skin::kBandHeight
        << " pixels are its title band (a press there drags the window) and its close box is "
           "the top-right corner ("
        << Size(skin::kCloseBoxFromRight, skin::kCloseBoxTop + skin::kCloseBoxSize)
        << " pixels); `PASSDLG` includes the password dialog's caption bar and borders. The "
           "height of a drop-down list is that of the opened list. A group frame's caption is "
           "drawn from its top, its line "
        << skin::kFrameTop << " pixels below.\n\n";

    out << "## Placeholders\n\n| Placeholder | Replaced by | In |\n|---|---|---|\n";
    for (size_t i = 0; i < config::PlaceholderCount(); ++i) {
        const config::Placeholder& p = config::Placeholders()[i];
        std::string keys;
        for (size_t k = 0; k < config::KeyCount(); ++k) {
            const Key& key = *config::AllKeys()[k];
            if (!(key.flags & p.flag)) continue;
            if (!keys.empty()) keys += ", ";
            keys += "`" + ToUtf8(key.name) + "` of [" + ToUtf8(key.section) + "]";
        }
        out << "| `" << ToUtf8(p.text) << "` | " << Cell(p.meaning) << " | " << keys << " |\n";
    }
    out << "\nReplacement is plain: every occurrence, exactly as written (upper case). Any "
           "other text in square brackets, and a placeholder in a key that does not replace "
           "it, shows as written.\n\n";

    WriteFile(out, config::File::SettingIni);
    WriteFile(out, config::File::CreateDiskIni);

    out << "## Skin images\n\n| File | Least size | Use |\n|---|---|---|\n";
    for (const FixedImage& image : FixedImages()) {
        out << "| `" << ToUtf8(image.path.substr(1)) << "` | "
            << Size(image.minWidth, image.minHeight) << " | " << Cell(image.use) << " |\n";
    }
    out << "| named by `" << ToUtf8(config::kCloseBoxImage.name) << "` of ["
        << ToUtf8(config::kCloseBoxImage.section) << "] | "
        << Size(skin::kCloseBoxCell.Right(), skin::kCloseBoxCell.Bottom()) << " | the close box is "
        << CloseBoxCell() << "; pure white is transparent |\n";
    out << "| named by `" << ToUtf8(config::kOkImage.name) << "`, `"
        << ToUtf8(config::kOkHoverImage.name) << "` of [" << ToUtf8(config::kOkImage.section)
        << "] | the size of `" << ToUtf8(config::kOkPos.name) << "` of ["
        << ToUtf8(config::kOkPos.section)
        << "] | faces of the OK button, drawn unscaled from its top-left corner |\n\n"
           "Store every image at 96 dpi (PNG `pHYs` or BMP pixels per metre 3780): an image "
           "at another resolution is drawn scaled. `config/skin/README.md` describes the "
           "images in full.\n\n";

    out << "## Checking a configuration\n\n"
           "`settingcheck FOLDER` reads a folder holding `Setting.ini`, `CreateDisk.ini` and "
           "`skin\\default` as the module does and reports, with file, section and key, "
           "keys that are missing or empty, keys and sections the module does not read (a misspelt "
           "name), positions that do not parse or place a control "
           "outside its dialog or over another control, list problems, unknown "
           "placeholders and format sequences, skin images that are missing, damaged or too "
           "small, texts likely too wide for their controls, and the OK caption or the title "
           "drawn on a skin image with a contrast below 4.5 : 1. Exit status 0 means no "
           "findings, 1 findings, 2 the folder cannot be read; `--json` gives a "
           "machine-readable report.\n\n"
           "```sh\n"
           "scripts/build.sh native                         # the native build of the tools\n"
           "build/native/settingcheck my-translation/\n"
           "scripts/preview.sh my-translation/ previews/    # every dialog as a PNG file\n"
           "```\n\n"
           "The native build estimates text widths from a table; the Windows build "
           "(`settingcheck.exe` in the build's `bin` folder, run under Wine) measures them "
           "with GDI.\n";
}

}  // namespace settingcheck
