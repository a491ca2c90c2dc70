#include "ConfigKeys.h"

namespace config {

#define CONFIG_KEY(id, file, section, name, kind, window, shown, placedBy, flags, readBy, \
                   whenMissing)                                                           \
    const Key id{File::file,   section,  name,  Kind::kind, Window::window,               \
                 Shown::shown, placedBy, flags, readBy,     whenMissing};
#include "ConfigKeyList.h"
#undef CONFIG_KEY

namespace {
#define CONFIG_KEY(id, file, section, name, kind, window, shown, placedBy, flags, readBy, \
                   whenMissing)                                                           \
    &id,
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

namespace {
const Placeholder kPlaceholders[] = {
    {L"[PRODUCTNAME]", kProductName, "the product name the engine reports"},
    {L"[USED]", kUsageFigures,
     "the protected space in use: the engine's figure divided by 1048576, with three decimals"},
    {L"[TOTAL]", kUsageFigures, "the size of the protected space, in the same form"},
};
}  // namespace

const Placeholder* Placeholders() {
    return kPlaceholders;
}
size_t PlaceholderCount() {
    return sizeof kPlaceholders / sizeof kPlaceholders[0];
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

const char* WindowName(Window window) {
    switch (window) {
        case Window::None:
            return "none";
        case Window::SettingsDialog:
            return "settings dialog";
        case Window::PasswordDialog:
            return "password dialog";
        case Window::MessageDialog:
            return "message dialog";
        case Window::WaitingBox:
            return "waiting box";
        case Window::PlainMessageBox:
            return "message box";
        case Window::Balloon:
            return "hint balloon";
    }
    return "?";
}

}  // namespace config
