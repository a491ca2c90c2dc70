// The keys and clicks the settings dialog swallows before the platform's dialog keys see them,
// so that Enter, Escape and Alt+F4 never close it: the dialog's key filter, as one table that
// the dialog applies and settingcheck reads (an access key whose Alt+key the filter swallows
// never works there). Free of platform headers: the keys are the platform's virtual-key codes.
#pragma once

namespace key_filter {

// Virtual-key codes the filter names (the platform's values; the dialog checks them against
// its headers).
constexpr unsigned kCancel = 0x03;  // Ctrl+Break
constexpr unsigned kReturn = 0x0D;
constexpr unsigned kControl = 0x11;
constexpr unsigned kPause = 0x13;
constexpr unsigned kEscape = 0x1B;
constexpr unsigned kSpace = 0x20;
constexpr unsigned kEnd = 0x23;
constexpr unsigned kHome = 0x24;
constexpr unsigned kLeft = 0x25;
constexpr unsigned kUp = 0x26;
constexpr unsigned kRight = 0x27;
constexpr unsigned kDown = 0x28;
constexpr unsigned kF1 = 0x70;
constexpr unsigned kF4 = 0x73;
constexpr unsigned kF10 = 0x79;
constexpr unsigned kF24 = 0x87;

// What reached the dialog: a key pressed (alone or with Ctrl or Shift), a key pressed with Alt
// or F10 (the platform's "system" keys), a turn of the mouse wheel or a left-button press.
enum class Input { KeyDown, SystemKeyDown, MouseWheel, LeftButtonDown, Other };

struct Press {
    Input input = Input::Other;
    unsigned key = 0;  // the virtual-key code of a key; letters and digits are their characters
    bool ctrl = false, shift = false, alt = false;
};

// Whether the settings dialog swallows `press`.
bool SettingsDialogSwallows(const Press& press);

// Whether the settings dialog swallows Alt+`key` (a letter or digit in upper case): an access
// key there cannot be used with Alt.
bool SettingsDialogSwallowsAlt(wchar_t key);

}  // namespace key_filter
