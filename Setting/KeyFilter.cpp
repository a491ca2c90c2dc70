#include "KeyFilter.h"

#include <cstring>

namespace key_filter {

namespace {

// Letters that do nothing with Ctrl in the settings dialog (Ctrl+A in a list, Ctrl+P, ...).
constexpr char kCtrlLetters[] = "ABDEFHILMNOPRSW";

bool IsCtrlLetter(unsigned key) {
    return key >= 'A' && key <= 'Z' && std::strchr(kCtrlLetters, static_cast<int>(key)) != nullptr;
}

}  // namespace

bool SettingsDialogSwallows(const Press& p) {
    switch (p.input) {
        case Input::KeyDown:
            if ((p.key >= kF1 && p.key <= kF24) || p.key == kReturn || p.key == kEscape ||
                p.key == kPause || p.key == kCancel) {
                return true;
            }
            if (p.ctrl && p.key != kControl &&
                (p.key == kUp || p.key == kDown || IsCtrlLetter(p.key)))
                return true;
            return p.shift && !p.ctrl && p.key == kSpace;
        case Input::MouseWheel:
            return p.ctrl || p.shift;
        case Input::SystemKeyDown:
            if (p.key == kF10) return true;
            return p.alt && (p.key == kEnd || p.key == kHome || p.key == kLeft || p.key == kRight ||
                             p.key == 'A' || p.key == 'D' || p.key == kF4);
        case Input::LeftButtonDown:
            return p.shift;
        default:
            return false;
    }
}

bool SettingsDialogSwallowsAlt(wchar_t key) {
    Press press;
    press.input = Input::SystemKeyDown;
    press.key = static_cast<unsigned>(key);
    press.alt = true;
    return SettingsDialogSwallows(press);
}

}  // namespace key_filter
