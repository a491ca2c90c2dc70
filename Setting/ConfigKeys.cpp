#include "ConfigKeys.h"

namespace config {

#define CONFIG_KEY(id, file, section, name, kind, readBy, whenMissing) \
    const Key id{File::file, section, name, Kind::kind, readBy, whenMissing};
#include "ConfigKeyList.h"
#undef CONFIG_KEY

namespace {
#define CONFIG_KEY(id, file, section, name, kind, readBy, whenMissing) &id,
const Key* const kAllKeys[] = {
#include "ConfigKeyList.h"
};
#undef CONFIG_KEY
}  // namespace

std::wstring Key::EntryName(int index) const {
    // "TIME_%d" is the only entry pattern; the number replaces "%d".
    std::wstring entry = name;
    const size_t at = entry.find(L"%d");
    if (at != std::wstring::npos) entry.replace(at, 2, std::to_wstring(index));
    return entry;
}

const Key* const* AllKeys() {
    return kAllKeys;
}
size_t KeyCount() {
    return sizeof kAllKeys / sizeof kAllKeys[0];
}

const wchar_t* FileName(File file) {
    return file == File::SettingIni ? L"Setting.ini" : L"CreateDisk.ini";
}

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Text:
            return "text";
        case Kind::Message:
            return "message";
        case Kind::Placeholders:
            return "text with placeholders";
        case Kind::Pattern:
            return "message with one number";
        case Kind::Position:
            return "position";
        case Kind::Integer:
            return "integer";
        case Kind::List:
            return "list";
        case Kind::Image:
            return "image";
        case Kind::Program:
            return "program";
    }
    return "?";
}

}  // namespace config
