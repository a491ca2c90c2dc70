#include "Scenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <utility>
#include <vector>

#include "Harness.h"
#include "resource.h"

namespace testsupport {
namespace {

const std::pair<const char*, int> kControls[] = {
    {"protect", IDC_CHECK_PROTECT},
    {"schedule", IDC_CHECK_SCHEDULE},
    {"scheduleList", IDC_COMBO_SCHEDULE},
    {"scheduleUnit", IDC_STATIC_SC_MINUTES},
    {"systemFolder", IDC_CHECK_EV_SYSFOLDER},
    {"newProgram", IDC_CHECK_EV_NEWPROGRAM},
    {"cycle", IDC_CHECK_EV_CYCLE},
    {"cycleList", IDC_COMBO_EV_CYCLE},
    {"cycleUnit", IDC_STATIC_EV_MIN},
    {"restore", IDC_CHECK_AR},
    {"restoreList", IDC_COMBO_AR},
    {"toTheLatest", IDC_STATIC_TOTHELATEST},
    {"tray", IDC_CHECK_TRAYICON},
    {"toaster", IDC_CHECK_TOASTER},
    {"password", IDC_PASSWORD},
    {"apply", IDC_BTN_APPLY},
    {"ok", IDC_BTN_OK},
    {"usage", IDC_STATIC_SZ_SHOW},
    {"resize", IDC_STATIC_RESIZE},
};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        const size_t first = part.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        parts.push_back(part.substr(first, part.find_last_not_of(' ') - first + 1));
    }
    return parts;
}

DWORD Number(const std::string& text) {
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 0));
}

// "a@b" as two numbers.
std::pair<DWORD, DWORD> Pair(const std::string& text, char separator) {
    const size_t at = text.find(separator);
    return {Number(text.substr(0, at)), at == std::string::npos ? 0 : Number(text.substr(at + 1))};
}

DWORD_PTR ButtonState(HWND button) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state;
}

}  // namespace

int ControlId(const std::string& name) {
    for (const auto& [known, id] : kControls) {
        if (name == known) return id;
    }
    return 0;
}

void DescribeEngine(sim::EngineState& s, const std::string& description) {
    for (const std::string& item : Split(description, ' ')) {
        const size_t equals = item.find('=');
        const std::string key = item.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
        SNAPSHOT_SETTING& snapshot = s.snapshotSetting;
        if (key == "protect") {
            s.protectOn = Number(value) != 0;
        } else if (key == "restore") {
            snapshot.bAutoRestore = Number(value);
        } else if (key == "choice") {
            snapshot.dwRestoreChoice = Number(value);
        } else if (key == "schedule") {
            std::tie(snapshot.AutoCreate.bEnable, snapshot.AutoCreate.dwCycleMinutes) =
                Pair(value, '@');
        } else if (key == "events") {
            const auto [flags, minutes] = Pair(value, '@');
            s.eventMonitorSetting.wFlags = static_cast<WORD>(flags);
            s.eventMonitorSetting.wCycleMinutes = static_cast<WORD>(minutes);
        } else if (key == "toaster") {
            snapshot.AutoCreate.bSuppressToaster = Number(value) ? 0 : 1;
        } else if (key == "suppress") {
            snapshot.AutoCreate.bSuppressToaster = static_cast<BYTE>(Number(value));
        } else if (key == "tray") {
            snapshot.bShowTrayIcon = Number(value);
        } else if (key == "password") {
            s.password = value;
        } else if (key == "product") {
            s.productName = std::wstring(value.begin(), value.end());
        } else if (key == "count") {
            s.snapshotCount = Number(value);
        } else if (key == "usage") {
            std::tie(s.spaceUsage.dwTotal, s.spaceUsage.dwFree) = Pair(value, '/');
        } else if (key == "armed") {  // restore at start-up armed, with its boot entry
            const bool armed = Number(value) != 0;
            snapshot.bAutoRestore = armed ? 1 : 0;
            s.bootRestore.armed = armed;
            s.bootEntry.present = armed;
            s.bootEntry.title = armed ? "Corvianex Recovery Environment" : "";
        } else {
            ADD_FAILURE() << "unknown engine key: " << item;
        }
    }
}

void Flush(HWND dialog) {
    // A marker posted behind everything else: the pushed state of the never-shown Cancel.
    HWND marker = Control(dialog, IDC_BTN_CANCEL);
    ::PostMessageW(marker, BM_SETSTATE, TRUE, 0);
    const ULONGLONG end = ::GetTickCount64() + 10000;
    while ((ButtonState(marker) & BST_PUSHED) == 0) {
        if (::GetTickCount64() > end || !::IsWindow(dialog)) {
            ADD_FAILURE() << "the dialog stopped handling its messages";
            return;
        }
        ::Sleep(2);
    }
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(marker, BM_SETSTATE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

void Act(HWND dialog, const std::string& actions) {
    for (const std::string& action : Split(actions, ',')) {
        const std::vector<std::string> words = Split(action, ' ');
        const int id = words.size() >= 2 ? ControlId(words[1]) : 0;
        if (id != 0 && words[0] == "click" && words.size() == 2) {
            Click(dialog, id);
        } else if (id != 0 && words[0] == "select" && words.size() == 3) {
            SelectComboItem(dialog, id, static_cast<int>(Number(words[2])));
        } else {
            ADD_FAILURE() << "cannot do: " << action;
            return;
        }
        Flush(dialog);
    }
}

void ExpectControls(HWND dialog, const std::string& controls) {
    for (const std::string& claim : Split(controls, ' ')) {
        const size_t equals = claim.find('=');
        const std::string name = claim.substr(0, equals);
        const int id = ControlId(name);
        if (id == 0 || equals == std::string::npos) {
            ADD_FAILURE() << "cannot read the claim: " << claim;
            continue;
        }
        for (const std::string& state : Split(claim.substr(equals + 1), ',')) {
            if (state == "on" || state == "off") {
                EXPECT_EQ(Checked(dialog, id), state == "on") << name << " is not " << state;
            } else if (state == "enabled" || state == "greyed") {
                EXPECT_EQ(Enabled(dialog, id), state == "enabled") << name << " is not " << state;
            } else if (state == "shown" || state == "hidden") {
                EXPECT_EQ(Visible(dialog, id), state == "shown") << name << " is not " << state;
            } else if (state[0] == '#') {
                EXPECT_EQ(ComboSelection(dialog, id), std::atoi(state.c_str() + 1))
                    << name << " does not select " << state;
            } else if (state.rfind("items=", 0) == 0) {
                EXPECT_EQ(ComboItems(dialog, id).size(), Number(state.substr(6)))
                    << name << " has not " << state;
            } else {
                ADD_FAILURE() << "unknown state " << state << " of " << name;
            }
        }
    }
}

}  // namespace testsupport
