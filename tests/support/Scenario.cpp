#include "Scenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <utility>
#include <vector>

#include "Harness.h"
#include "ScenarioText.h"
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
    for (const Action& action : Actions(actions)) {
        const int id = ControlId(action.control);
        if (id == 0) {
            ADD_FAILURE() << "no control " << action.control;
            return;
        }
        if (action.verb == "click") {
            Click(dialog, id);
        } else {
            SelectComboItem(dialog, id, action.entry);
        }
        Flush(dialog);
    }
}

void ExpectControls(HWND dialog, const std::string& controls) {
    for (const Claim& claim : Claims(controls)) {
        const std::string& name = claim.control;
        const int id = ControlId(name);
        if (id == 0) {
            ADD_FAILURE() << "no control " << name;
            continue;
        }
        for (const std::string& state : claim.states) {
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
                EXPECT_EQ(ComboItems(dialog, id).size(), std::stoul(state.substr(6)))
                    << name << " has not " << state;
            } else {
                ADD_FAILURE() << "unknown state " << state << " of " << name;
            }
        }
    }
}

}  // namespace testsupport
