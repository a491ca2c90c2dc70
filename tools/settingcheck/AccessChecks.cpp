// Access keys: a '&' in a control's text gives the control an access key (Alt and the
// character after it), as the platform's dialog manager finds it. Reported per dialog: a key
// that two controls share (the dialog manager only ever goes to the first of them) and, in the
// settings dialog, a key whose Alt combination the dialog's key filter swallows.
#include <map>

#include "AccessKeys.h"
#include "Checks.h"
#include "KeyFilter.h"
#include "Strings.h"

namespace settingcheck {

namespace {

using config::Key;
using config::Shown;
using config::Window;

// Texts that give a control of a dialog an access key. The message dialog's heading and text
// and the waiting box's line stand alone (one message at a time, a box with no other control).
bool GivesAccessKey(const Key& key) {
    if (key.kind == config::Kind::List) return false;
    if (key.window != Window::SettingsDialog && key.window != Window::PasswordDialog &&
        key.window != Window::MessageDialog) {
        return false;
    }
    if (key.shown == Shown::MessageHeading || key.shown == Shown::MessageText) return false;
    return key.shown == Shown::Spoken || ProcessesAmpersands(key.shown);
}

std::string Shortcut(wchar_t key) {
    return ToUtf8(access_keys::Shortcut(key));
}

}  // namespace

void CheckAccessKeys(Context& c) {
    std::map<std::pair<Window, wchar_t>, const Key*> first;
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (!GivesAccessKey(key)) continue;
        std::wstring text;
        if (!c.Get(key, text)) continue;
        const wchar_t letter = access_keys::KeyOf(text);
        if (!letter || letter == L' ') continue;
        const auto [known, added] = first.emplace(std::make_pair(key.window, letter), &key);
        if (!added) {
            c.Add("access", key,
                  "the access key " + Shortcut(letter) + " is also that of " +
                      Name(*known->second) +
                      " in the same dialog: the key only ever reaches the first of them; "
                      "choose another letter");
        }
        if (key.window == Window::SettingsDialog && key_filter::SettingsDialogSwallowsAlt(letter)) {
            c.Add("access", key,
                  "the access key " + Shortcut(letter) +
                      " never works: the settings dialog swallows " + Shortcut(letter) +
                      " so that no key closes it; choose another letter");
        }
    }
}

}  // namespace settingcheck
