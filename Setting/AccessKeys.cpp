#include "AccessKeys.h"

namespace access_keys {

namespace {

// The upper case of a letter of the scripts translations use most (Latin, Greek, Cyrillic),
// the same in every build and locale; other characters as they are.
wchar_t UpperCase(wchar_t c) {
    if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
        return static_cast<wchar_t>(c - 0x20);
    }
    if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 0x50);
    if (c == 0xFF) return 0x178;
    return c;
}

}  // namespace

wchar_t KeyOf(const std::wstring& text) {
    for (size_t at = text.find(L'&'); at != std::wstring::npos; at = text.find(L'&', at + 2)) {
        if (at + 1 >= text.size()) return 0;  // a last '&' marks nothing
        if (text[at + 1] != L'&') return UpperCase(text[at + 1]);
    }
    return 0;
}

std::wstring ShownText(const std::wstring& text) {
    std::wstring shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') {
            shown += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == L'&') {
            shown += L'&';
            ++i;
        }
    }
    return shown;
}

std::wstring Shortcut(wchar_t key) {
    return key ? std::wstring(L"Alt+") + key : std::wstring();
}

}  // namespace access_keys
