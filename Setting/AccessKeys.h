// Access keys of the module's texts, found as the platform's dialog manager finds them: the
// character after the first '&' that is not doubled ("&&" shows one '&'). Free of platform
// calls: settingcheck and its native build use the same rule.
#pragma once

#include <string>

namespace access_keys {

// The access key of `text` in upper case (the dialog manager compares keys so; letters of the
// Latin, Greek and Cyrillic scripts), or 0 when the text has none.
wchar_t KeyOf(const std::wstring& text);

// The text as a control that underlines its access key shows it, and as a screen reader says
// it: each "&&" as one '&', every other '&' left out.
std::wstring ShownText(const std::wstring& text);

// "Alt+S" for the key 'S' (what a screen reader announces as the keyboard shortcut); empty
// for none.
std::wstring Shortcut(wchar_t key);

}  // namespace access_keys
