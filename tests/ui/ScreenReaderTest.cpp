// What a screen reader hears of every control a user can see or use in the module's four
// dialogs, asked from outside as a screen reader asks (Active Accessibility through
// WM_GETOBJECT): the name, the role and the state of each; the selected entry of each list;
// the default action of what can be clicked. The platform's own proxies answer Wine's buttons
// and statics with the role "client" and no state, so every row checks what the module answers
// itself.
#include <oleacc.h>

#include "ScreenReader.h"
#include "Session.h"

using namespace testsupport;

namespace {

struct Row {
    const char* window;   // settings, password, question, waiting
    int id;               // 0: the dialog itself
    const wchar_t* name;  // a trailing '*': the name starts so
    long role;
    const char* state;      // the states of kStates it has, and it has no other of them
    const wchar_t* action;  // the default action; null: none
};

const std::pair<const char*, long> kStates[] = {
    {"checked", STATE_SYSTEM_CHECKED},     {"unavailable", STATE_SYSTEM_UNAVAILABLE},
    {"focused", STATE_SYSTEM_FOCUSED},     {"focusable", STATE_SYSTEM_FOCUSABLE},
    {"linked", STATE_SYSTEM_LINKED},       {"invisible", STATE_SYSTEM_INVISIBLE},
    {"protected", STATE_SYSTEM_PROTECTED}, {"default", STATE_SYSTEM_DEFAULT},
    {"readonly", STATE_SYSTEM_READONLY}};

std::string StateNames(long state) {
    std::string names;
    for (const auto& [name, flag] : kStates)
        if (state & flag) names += (names.empty() ? "" : " ") + std::string(name);
    return names;
}

constexpr long kDialog = ROLE_SYSTEM_DIALOG, kCheck = ROLE_SYSTEM_CHECKBUTTON,
               kList = ROLE_SYSTEM_COMBOBOX, kText = ROLE_SYSTEM_STATICTEXT,
               kButton = ROLE_SYSTEM_PUSHBUTTON, kLink = ROLE_SYSTEM_LINK,
               kGroup = ROLE_SYSTEM_GROUPING, kField = ROLE_SYSTEM_TEXT;

// The shipped configuration; the engine: protect=1 schedule=1@120 events=0x3@60 restore=0
// tray=1 toaster=0, no password.
// clang-format off
const Row kRows[] = {
    {"settings", 0, L"Corvianex Shield Settings", kDialog, "", nullptr},
    {"settings", IDC_VP_FRAME, L"System Protection", kGroup, "", nullptr},
    {"settings", IDC_STATIC_SZ_SHOW, L"Protected space: *", kText, "readonly", nullptr},
    {"settings", IDC_STATIC_RESIZE, L"Resize protected space", kLink, "focusable linked", L"Jump"},
    {"settings", IDC_CHECK_PROTECT, L"Turn on system protection", kCheck, "checked focused focusable", L"Uncheck"},
    {"settings", IDC_SCHEDULE_FRAME, L"Automatic Snapshots", kGroup, "", nullptr},
    {"settings", IDC_STATIC_SC_TITLE, L"Create a snapshot automatically:", kText, "readonly", nullptr},
    {"settings", IDC_CHECK_SCHEDULE, L"Every", kCheck, "checked focusable", L"Uncheck"},
    {"settings", IDC_COMBO_SCHEDULE, L"Every", kList, "focusable", L"Open"},
    {"settings", IDC_STATIC_SC_MINUTES, L"on a fixed schedule", kText, "readonly", nullptr},
    {"settings", IDC_CHECK_EV_SYSFOLDER, L"When the system folder changes", kCheck, "checked focusable", L"Uncheck"},
    {"settings", IDC_CHECK_EV_NEWPROGRAM, L"When a new program is installed", kCheck, "checked focusable", L"Uncheck"},
    {"settings", IDC_CHECK_EV_CYCLE, L"Also every", kCheck, "checked unavailable", L"Uncheck"},
    {"settings", IDC_COMBO_EV_CYCLE, L"Also every", kList, "focusable", L"Open"},
    {"settings", IDC_STATIC_EV_MIN, L"while one of the two options above is on", kText, "readonly", nullptr},
    {"settings", IDC_AR_FRAME, L"Restore at Start-up", kGroup, "", nullptr},
    {"settings", IDC_CHECK_AR, L"At every start-up, restore", kCheck, "focusable", L"Check"},
    {"settings", IDC_COMBO_AR, L"At every start-up, restore", kList, "focusable", L"Open"},
    {"settings", IDC_STATIC_TOTHELATEST, L"to the latest snapshot", kText, "readonly", nullptr},
    {"settings", IDC_NOTI_FRAME, L"Notifications", kGroup, "", nullptr},
    {"settings", IDC_STATIC_NT_TITLE, L"Keep me informed with:", kText, "readonly", nullptr},
    {"settings", IDC_CHECK_TRAYICON, L"An icon in the notification area", kCheck, "checked focusable", L"Uncheck"},
    {"settings", IDC_CHECK_TOASTER, L"Pop-up messages", kCheck, "focusable", L"Check"},
    {"settings", IDC_SEC_FRAME, L"Security", kGroup, "", nullptr},
    {"settings", IDC_PASSWORD, L"Turn on password protection", kCheck, "focusable", L"Check"},
    {"settings", IDC_BTN_OK, L"OK", kButton, "focusable", L"Press"},
    {"settings", IDC_CLOSE_BOX, L"Close", kButton, "focusable", L"Press"},
    {"password", 0, L"Corvianex Shield Settings", kDialog, "", nullptr},
    {"password", IDC_S_NEWPASS, L"New password:", kText, "readonly", nullptr},
    {"password", IDC_E_NEWPASS, L"New password:", kField, "focused focusable protected", nullptr},
    {"password", IDC_S_NEWPASS2, L"Confirm new password:", kText, "readonly", nullptr},
    {"password", IDC_E_NEWPASS2, L"Confirm new password:", kField, "focusable protected", nullptr},
    {"password", IDC_S_FORGETPASS, L"Use up to 8 characters.*", kText, "readonly", nullptr},
    {"password", IDOK, L"OK", kButton, "focusable default", L"Press"},
    {"password", IDCANCEL, L"Cancel", kButton, "focusable", L"Press"},
    {"question", 0, L"Corvianex Shield 5", kDialog, "", nullptr},
    {"question", IDC_MSG_HEADING, L"Warning", kText, "readonly", nullptr},
    {"question", IDC_MSG_TEXT, L"Resizing re-initialises the protected space*", kText, "readonly", nullptr},
    {"question", IDC_MSG_YES, L"Yes", kButton, "focused focusable", L"Press"},
    {"question", IDC_MSG_NO, L"No", kButton, "focusable", L"Press"},
    {"waiting", 0, L"Turning on system protection, please wait", kDialog, "", nullptr},
    {"waiting", IDC_STATIC_WAIT, L"Turning on system protection, please wait", kText, "focused readonly", nullptr},
};
// clang-format on

void ExpectHeard(const char* window, HWND dialog) {
    SCOPED_TRACE(window);
    ASSERT_NE(dialog, nullptr);
    int rows = 0;
    for (const Row& row : kRows) {
        if (std::string(row.window) != window) continue;
        ++rows;
        SCOPED_TRACE(::testing::Message() << "control " << row.id);
        HWND control = row.id ? Control(dialog, row.id) : dialog;
        ASSERT_NE(control, nullptr);
        const Heard heard = Hear(control);
        ASSERT_TRUE(heard.answered) << "no object";
        const std::wstring name = row.name;
        if (name.back() == L'*') {
            EXPECT_EQ(heard.name.substr(0, name.size() - 1), name.substr(0, name.size() - 1));
        } else {
            EXPECT_EQ(heard.name, name);
        }
        EXPECT_EQ(heard.role, row.role);
        EXPECT_EQ(StateNames(heard.state), row.state);
        EXPECT_EQ(heard.defaultAction, row.action ? row.action : L"");
        if (row.role == kList) {
            const int selected = ComboSelection(dialog, row.id);
            ASSERT_GE(selected, 0);
            EXPECT_EQ(heard.value, ComboItems(dialog, row.id).at(selected)) << "the selected entry";
        }
    }
    EXPECT_GT(rows, 0);
}

// Each dialog as it comes up in use, asked row by row.
TEST(ScreenReaderTest, EveryControlAnswersItsNameRoleAndState) {
    const ComApartment com;
    Session session;
    HWND dialog = session.Open("protect=1 schedule=1@120 events=0x3@60 restore=0 tray=1 toaster=0");
    ASSERT_NE(dialog, nullptr);
    ExpectHeard("settings", dialog);

    Click(dialog, IDC_PASSWORD);
    HWND password = session.host->WaitForDialogWith(IDC_E_NEWPASS);
    session.host->Settle(50);
    ExpectHeard("password", password);
    Click(password, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(password); }));

    Click(dialog, IDC_STATIC_RESIZE);
    HWND question = WaitForMessageDialog(*session.host);
    session.host->Settle(50);
    ExpectHeard("question", question);
    Click(question, IDC_MSG_NO);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));

    session.Close(dialog);

    // Switching protection on: the waiting box while the engine works.
    dialog = session.Open("protect=0");
    ASSERT_NE(dialog, nullptr);
    session.sandbox.DelayEngine("EnableProtect", 1500);
    Click(dialog, IDC_CHECK_PROTECT);
    HWND box = session.host->WaitForDialogWith(IDC_STATIC_WAIT, 5000);
    ExpectHeard("waiting", box);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 15000));
    session.Close(dialog);
}

}  // namespace
