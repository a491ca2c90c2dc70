// Every action of the module's dialogs from the keyboard alone, as a user without a mouse
// works them: Tab reaches each control of the settings dialog in order (the resize link and
// the close box after OK), the skinned ones show a focus cue while the platform shows keyboard
// cues, and Space, Enter, Escape and access keys do what the mouse does, with the same engine
// journal and log.
#include <map>
#include <sstream>

#include "ScreenReader.h"
#include "Session.h"

using namespace testsupport;

namespace {

// Controls of the module's other windows, by the names the rows use.
int ControlOf(const std::string& name) {
    static const std::pair<const char*, int> kOthers[] = {
        {"close", IDC_CLOSE_BOX}, {"yes", IDC_MSG_YES},     {"no", IDC_MSG_NO},
        {"msgok", IDC_MSG_OK},    {"new", IDC_E_NEWPASS},   {"repeat", IDC_E_NEWPASS2},
        {"passok", IDOK},         {"passcancel", IDCANCEL}, {"boxok", IDOK}};
    for (const auto& [known, id] : kOthers)
        if (name == known) return id;
    return ControlId(name);
}

WORD KeyOf(const std::string& name) {
    if (name == "Tab") return VK_TAB;
    if (name == "Space") return VK_SPACE;
    if (name == "Enter") return VK_RETURN;
    if (name == "Esc") return VK_ESCAPE;
    if (name == "Down") return VK_DOWN;
    return name.size() == 1 ? static_cast<WORD>(name[0]) : 0;
}

// Works the open settings dialog and the windows it opens, one step after another:
//   to:NAME        Tab until NAME has the focus (it must come within 20 presses)
//   Tab, Space, Enter, Esc, Down, Alt+X, Shift+Tab   that key
//   type:TEXT      typed
//   focus:NAME     NAME must have the focus now
//   click:NAME     a click of the mouse in the middle of NAME
//   select:NAME:N  entry N of the list NAME picked
//   do:NAME        NAME's default action, as a screen reader's user asks for it
//   on:question, on:error, on:password, on:box, on:settings   the window the next steps work
//   closed         the settings dialog must have gone
class Worker {
public:
    Worker(Session& session, HWND settings) : m_session(session), m_settings(settings) {
        m_window = settings;
        BringToFront(m_window);
    }

    void Do(const std::string& steps) {
        std::istringstream in(steps);
        for (std::string step; in >> step;) {
            SCOPED_TRACE(step);
            Step(step);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }

private:
    void Step(const std::string& step) {
        const size_t colon = step.find(':');
        const std::string verb = step.substr(0, colon), what = step.substr(colon + 1);
        if (verb == "to") {
            HWND target = Control(m_window, ControlOf(what));
            for (int i = 0; i < 20 && FocusOf(m_window) != target; ++i)
                Press(VK_TAB);
            ASSERT_EQ(FocusOf(m_window), target) << what << " is not reached by Tab";
        } else if (verb == "focus") {
            EXPECT_EQ(FocusOf(m_window), Control(m_window, ControlOf(what))) << what;
        } else if (verb == "type") {
            TypeText(std::wstring(what.begin(), what.end()));
            m_session.host->Settle(20);
        } else if (verb == "click") {
            // On top first: a window that was just closed or opened may still cover the point.
            BringToFront(m_window);
            const RECT rc = RectIn(m_window, ControlOf(what));
            MouseClick(
                ClientToScreenPoint(m_window, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
            m_session.host->Settle(20);
        } else if (verb == "do") {
            ASSERT_TRUE(DoDefaultAction(Control(m_window, ControlOf(what)))) << what;
            m_session.host->Settle(20);
        } else if (verb == "select") {
            const size_t second = what.find(':');
            SelectComboItem(m_window, ControlOf(what.substr(0, second)),
                            std::stoi(what.substr(second + 1)));
            m_session.host->Settle(20);
        } else if (verb == "on") {
            Switch(what);
        } else if (verb == "closed") {
            ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(m_settings); })) << "still open";
        } else if (step.rfind("Alt+", 0) == 0) {
            Press(KeyOf(step.substr(4)), {VK_MENU});
        } else if (step == "Shift+Tab") {
            Press(VK_TAB, {VK_SHIFT});
        } else {
            ASSERT_NE(KeyOf(step), 0) << "unknown step";
            Press(KeyOf(step));
        }
    }

    void Press(WORD key, std::initializer_list<WORD> modifiers = {}) {
        PressKey(key, modifiers);
        m_session.host->Settle(20);
    }

    void Switch(const std::string& to) {
        const HostProcess& host = *m_session.host;
        HWND next = nullptr;
        WaitUntil([&] {
            if (to == "settings")
                next = ::IsWindowEnabled(m_settings) && ::IsWindowVisible(m_settings) ? m_settings
                                                                                      : nullptr;
            if (to == "question") next = host.FindWindowShowing(IDC_MSG_YES);
            if (to == "error") next = host.FindWindowShowing(IDC_MSG_OK);
            if (to == "password") next = FindPasswordDialog(host);
            if (to == "box") next = host.FindMessageBox();
            return next != nullptr;
        });
        ASSERT_NE(next, nullptr) << "no " << to;
        m_window = next;
        host.Settle(30);
        BringToFront(m_window);
    }

    Session& m_session;
    HWND m_settings;
    HWND m_window;
};

// What a use of the dialog leaves: the engine's journal, the log (without its time stamps)
// and, while the dialog is open, its controls.
struct Outcome {
    std::vector<std::string> calls;
    std::vector<std::wstring> log;
};

Outcome Leaves(const Session& session) {
    Outcome outcome{session.EngineCalls(), {}};
    for (const std::wstring& line : session.Log())
        outcome.log.push_back(line.substr(std::min(line.find(L"] "), line.size())));
    return outcome;
}

struct Row {
    const char* name;
    const char* engine;
    std::vector<IniValue> ini;
    const char* failing;   // an engine operation that fails, or null
    const char* mouse;     // the action with the mouse
    const char* keys;      // the same from the keyboard
    const char* controls;  // the settings dialog's controls afterwards, when it is open
};

// clang-format off
const Row kRows[] = {
    {"CheckBoxBySpace", "tray=1", {}, nullptr, "click:tray", "to:tray Space", "tray=off apply=enabled"},
    {"ListByArrow", "schedule=1@120", {}, nullptr, "select:scheduleList:3", "to:scheduleList Down", "scheduleList=#3 apply=enabled"},
    {"OkSaves", "tray=0", {}, nullptr, "click:tray click:ok closed", "to:tray Space to:ok Space closed", ""},
    {"CloseBoxClosesWithoutSaving", "tray=0", {}, nullptr, "click:tray click:close closed", "to:tray Space to:close Space closed", ""},
    {"LinkAsksAndNoKeepsTheSize", "", {}, nullptr, "click:resize on:question click:no on:settings", "to:resize Space on:question Esc on:settings", "ok=enabled"},
    {"LinkAsksAndYesResizes", "", {}, nullptr, "click:resize on:question click:yes on:settings", "to:resize Space on:question Space on:settings", "ok=enabled"},
    {"PasswordIsSet", "password=", {}, nullptr, "click:password on:password click:new type:secret click:repeat type:secret click:passok on:box click:boxok on:settings",
     "to:password Space on:password type:secret Tab type:secret Enter on:box Enter on:settings", "password=on"},
    {"PasswordDialogCancels", "password=", {}, nullptr, "click:password on:password click:passcancel on:settings", "to:password Space on:password Esc on:settings", "password=off"},
    {"SwitchFailureIsReported", "protect=0", {}, "EnableProtect", "click:protect on:error click:msgok on:settings", "to:protect Space on:error Enter on:settings", "protect=on"},
    // Access keys: a check box is clicked, the link and OK too, a label moves the focus on to
    // the field after it; Alt+A is the key filter's, and stays so.
    {"AccessKeyOfACheckBox", "tray=1", {{L"SETTING", L"NT_TRAYICON", L"An icon in the &notification area"}}, nullptr, "click:tray", "Alt+N", "tray=off"},
    {"AccessKeyOfTheLink", "", {{L"SETTING", L"VP_RESIZE", L"Re&size protected space"}}, nullptr, "click:resize on:question click:no on:settings", "Alt+S on:question Esc on:settings", "ok=enabled"},
    {"AccessKeyOfOk", "", {{L"SETTING", L"BTN_OK", L"&OK"}}, nullptr, "click:ok closed", "Alt+O closed", ""},
    {"AccessKeyOfALabel", "password=", {{L"SETTING", L"S_NEWPASS", L"&New password:"}}, nullptr, "click:password on:password click:passcancel on:settings",
     "to:password Space on:password Tab focus:repeat Alt+N focus:new Esc on:settings", "password=off"},
    // A screen reader's default actions: the close box closes without saving, the link asks.
    {"CloseBoxByScreenReader", "tray=0", {}, nullptr, "click:tray click:close closed", "to:tray Space do:close closed", ""},
    {"LinkByScreenReader", "", {}, nullptr, "click:resize on:question click:no on:settings", "do:resize on:question do:no on:settings", "ok=enabled"},
    {"AltAIsSwallowed", "toaster=1", {{L"SETTING", L"NT_TOASTER", L"&All pop-up messages"}}, nullptr, "", "Alt+A", "toaster=on apply=greyed"},
};
// clang-format on

// Each row twice, from the same state: with the mouse, then from the keyboard.
TEST(KeyboardTest, EveryActionWorksFromTheKeyboardAsWithTheMouse) {
    const ComApartment com;
    Session session;
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        Outcome outcomes[2];
        for (int keyboard = 0; keyboard < 2; ++keyboard) {
            SCOPED_TRACE(keyboard ? "keyboard" : "mouse");
            session.Prepare(row.engine, row.ini);
            if (row.failing) session.sandbox.FailEngine(row.failing, 5);
            HWND dialog = session.host->OpenSettings();
            ASSERT_NE(dialog, nullptr);
            Worker(session, dialog).Do(keyboard ? row.keys : row.mouse);
            if (::IsWindow(dialog)) {
                if (*row.controls) ExpectControls(dialog, row.controls);
                session.Close(dialog);
            }
            outcomes[keyboard] = Leaves(session);
        }
        EXPECT_EQ(outcomes[1].calls, outcomes[0].calls) << "the engine saw another use";
        EXPECT_EQ(outcomes[1].log, outcomes[0].log) << "the log tells another story";
    }
}

// The dialog with whatever is still to be painted painted (a control after a change of focus
// or of the keyboard cues).
HWND Painted(HWND dialog) {
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return dialog;
}

// Capture of a control's rectangle (in its dialog).
struct Area {
    Area(HWND dialog, const RECT& rc) : shot(Painted(dialog)), rc(rc) {}
    int Count(COLORREF colour) const { return shot.Count(rc, colour); }
    bool operator==(const Area& other) const {
        for (LONG y = rc.top; y < rc.bottom; ++y)
            for (LONG x = rc.left; x < rc.right; ++x)
                if (shot.At(x, y) != other.shot.At(x, y)) return false;
        return true;
    }
    Capture shot;
    RECT rc;
};

// The platform tells every window of the dialog that keyboard cues are hidden (after the mouse
// was used) or shown again.
void TellKeyboardCues(HWND dialog, bool shown) {
    const WPARAM change = MAKEWPARAM(shown ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(dialog, WM_UPDATEUISTATE, change, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageTimeoutW(child, WM_UPDATEUISTATE, change, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

// Tab walks every control that can be used, in the order of the dialog, then OK, the link and
// the close box, and round again; Shift+Tab walks back. The skinned ones show a cue of black
// and white dots while they have the focus and keyboard cues are shown, and none otherwise.
TEST(KeyboardTest, TabReachesEveryControlAndTheSkinnedOnesShowTheirFocus) {
    Session session;
    HWND dialog = session.Open("protect=1 schedule=1@120 events=0x3@60 restore=0 tray=1 toaster=1");
    ASSERT_NE(dialog, nullptr);
    BringToFront(dialog);
    // The cycle's box is always greyed (the event options set it): Tab passes it by.
    const int order[] = {
        IDC_CHECK_PROTECT,       IDC_CHECK_SCHEDULE, IDC_COMBO_SCHEDULE, IDC_CHECK_EV_SYSFOLDER,
        IDC_CHECK_EV_NEWPROGRAM, IDC_COMBO_EV_CYCLE, IDC_CHECK_AR,       IDC_COMBO_AR,
        IDC_CHECK_TRAYICON,      IDC_CHECK_TOASTER,  IDC_PASSWORD,       IDC_BTN_OK,
        IDC_STATIC_RESIZE,       IDC_CLOSE_BOX,      IDC_CHECK_PROTECT};
    std::map<int, RECT> skinned = {{IDC_BTN_OK, RectIn(dialog, IDC_BTN_OK)},
                                   {IDC_STATIC_RESIZE, RectIn(dialog, IDC_STATIC_RESIZE)},
                                   {IDC_CLOSE_BOX,
                                    {ClientSize(dialog).cx - ::MulDiv(35, DisplayDpi(), 96), 0,
                                     ClientSize(dialog).cx, ::MulDiv(32, DisplayDpi(), 96)}}};
    std::map<int, Area> unfocused;
    for (const auto& [id, rc] : skinned)
        unfocused.emplace(id, Area(dialog, rc));

    EXPECT_EQ(FocusOf(dialog), Control(dialog, order[0]));
    for (size_t i = 1; i < std::size(order); ++i) {
        PressKey(VK_TAB);
        session.host->Settle(20);
        ASSERT_EQ(::GetDlgCtrlID(FocusOf(dialog)), order[i]) << "step " << i;
        const auto skin = skinned.find(order[i]);
        if (skin == skinned.end()) continue;
        const Area focused(dialog, skin->second);
        EXPECT_GT(focused.Count(RGB(0, 0, 0)), unfocused.at(order[i]).Count(RGB(0, 0, 0)))
            << order[i] << ": no black dots of a cue";
        EXPECT_FALSE(focused == unfocused.at(order[i])) << order[i] << ": no focus cue";
        TellKeyboardCues(dialog, false);
        session.host->Settle(20);
        EXPECT_TRUE(Area(dialog, skin->second) == unfocused.at(order[i]))
            << order[i] << ": a cue while keyboard cues are hidden";
        TellKeyboardCues(dialog, true);
        session.host->Settle(20);
        EXPECT_TRUE(Area(dialog, skin->second) == focused) << order[i] << ": no cue again";
    }
    PressKey(VK_TAB, {VK_SHIFT});
    session.host->Settle(20);
    EXPECT_EQ(FocusOf(dialog), Control(dialog, IDC_CLOSE_BOX)) << "Shift+Tab";
    // Leaving the close box takes its cue away, to the pixel.
    PressKey(VK_TAB, {VK_SHIFT});
    session.host->Settle(20);
    EXPECT_TRUE(Area(dialog, skinned.at(IDC_CLOSE_BOX)) == unfocused.at(IDC_CLOSE_BOX));
    session.ExpectOnlyReads();
    session.Close(dialog);
}

}  // namespace
