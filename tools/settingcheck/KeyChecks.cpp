// Files and keys: both INI files as the module reads them (their syntax and encoding), keys
// that are missing or empty, and sections and keys that the module never reads.
#include "Checks.h"
#include "Strings.h"

namespace settingcheck {

namespace {

using config::Key;
using config::Kind;
using config::Shown;

constexpr size_t kLongestValue = 5119;  // characters the module's reader returns

void LoadFile(Context& c, config::File file) {
    FileState& state = c.State(file);
    const std::wstring name = config::FileName(file);
    const std::filesystem::path path = ResolveNoCase(c.folder, name);
    std::string bytes;
    if (!ReadBytes(path, bytes)) {
        c.AddFile("file", ToUtf8(name),
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
    state.values = c.platform.openValues(path, state.document);
    for (const IniDocument::Issue& issue : state.document.Issues()) {
        c.findings.push_back(
            {"syntax", ToUtf8(name), ToUtf8(issue.section), ToUtf8(issue.key), issue.message});
    }
    if (state.document.NonAsciiOutsideUtf16()) {
        const bool utf8 =
            state.document.encoding() == Encoding::Utf8Bom || state.document.ValidUtf8();
        c.AddFile("encoding", ToUtf8(name),
                  utf8 ? "is saved as UTF-8: the platform reads a file without a UTF-16 "
                         "byte-order mark in the system's ANSI code page, so its non-ASCII "
                         "characters may show wrongly; save it as UTF-16 LE with a "
                         "byte-order mark (\"Unicode\")"
                       : "holds characters outside ASCII in an ANSI code page: they show "
                         "rightly only on systems with the same code page; save it as "
                         "UTF-16 LE with a byte-order mark (\"Unicode\")");
    }
}

void CheckPresence(Context& c) {
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (key.kind == Kind::List || !c.State(key.file).present) continue;
        std::wstring value;
        if (!c.Get(key, value)) {
            if (!key.MayBeEmpty())
                c.Add("missing", key, std::string("is missing: ") + key.whenMissing);
            continue;
        }
        // The platform's reader may already have cut it: the file itself tells the length.
        std::wstring whole;
        if (c.State(key.file).document.Get(key.section, key.name, whole) &&
            whole.size() > kLongestValue) {
            c.Add("text", key,
                  "is " + std::to_string(whole.size()) +
                      " characters long: the module reads "
                      "only the first " +
                      std::to_string(kLongestValue));
        }
        const bool blank = Trim(value).empty();
        if (blank && !key.MayBeEmpty()) {
            c.Add("empty", key, std::string("is empty: ") + key.whenMissing);
        } else if (!value.empty() && key.MayBeEmpty() && key.shown == Shown::Edit) {
            // The hidden current-password field is compared with the stored password.
            c.Add("empty", key,
                  &key == &config::kCurrentEditText
                      ? "is not empty: the hidden current-password field holds this text, so "
                        "every new password is refused as not matching the current one; "
                        "leave the value empty"
                      : "is not empty: the password field starts with this text typed in; "
                        "leave the value empty");
        }
    }
}

bool IsRead(config::File file, const std::wstring& section, const std::wstring& name) {
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

// Sections and keys the module never reads: most often a misspelt name.
void CheckUnread(Context& c, config::File file) {
    FileState& state = c.State(file);
    if (!state.present) return;
    const std::string fileName = ToUtf8(config::FileName(file));
    for (const IniDocument::Outline& section : state.document.Sections()) {
        bool known = false;
        for (size_t i = 0; i < config::KeyCount(); ++i) {
            const Key& key = *config::AllKeys()[i];
            known = known || (key.file == file && EqualNoCase(key.section, section.section));
        }
        if (!known) {
            c.findings.push_back({"unread", fileName, ToUtf8(section.section), "",
                                  "the module reads no section of this name (misspelt?)"});
            continue;
        }
        for (const std::wstring& name : section.keys) {
            if (!IsRead(file, section.section, name)) {
                c.findings.push_back({"unread", fileName, ToUtf8(section.section), ToUtf8(name),
                                      "the module reads no key of this name in this section "
                                      "(misspelt, or in the wrong section?)"});
            }
        }
    }
}

}  // namespace

void LoadFiles(Context& c) {
    LoadFile(c, config::File::SettingIni);
    LoadFile(c, config::File::CreateDiskIni);
}

void CheckKeys(Context& c) {
    CheckPresence(c);
    CheckUnread(c, config::File::SettingIni);
    CheckUnread(c, config::File::CreateDiskIni);
}

}  // namespace settingcheck
