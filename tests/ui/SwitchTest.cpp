// The protection switch: the question before switching off, the waiting box while the engine
// works, the boot entry and restore at start-up that go with it, a refusal reported once the
// box has closed, quick second clicks, and OK pressed while a switch is still finishing.
#include <algorithm>

#include "Session.h"

using namespace testsupport;

namespace {

constexpr DWORD kCode = 1234;

struct SwitchRow {
    const char* name;
    const char* engine;
    const char* failing;             // the engine call made to fail, or ""
    int answer;                      // to the question before switching off; 0 when switching on
    std::vector<std::string> calls;  // without the report's own GetProductInfo
    std::vector<DWORD> bootActions;  // of SetBootEntry, in order
    const wchar_t* waitingKey;       // the waiting box's text; null: no box
    const wchar_t* reportKey;        // the refusal's text; null: no report
    bool protectAfter;               // what the engine holds
    bool bootEntryAfter;             // boot entry and restore at start-up still there
    const char* controls;            // at the click, and after
};

// clang-format off
const SwitchRow kRows[] = {
    {"OnWithRestoreArmed", "protect=0 armed=1", "", 0, {"EnableProtect", "GetSnapshotSetting", "SetBootEntry"}, {1}, L"IDC_WAIT_DLG", nullptr, true, true, "protect=on restore=enabled restoreList=enabled toTheLatest=enabled"},
    {"OnWithRestoreOff", "protect=0", "", 0, {"EnableProtect", "GetSnapshotSetting"}, {}, L"IDC_WAIT_DLG", nullptr, true, false, "protect=on restore=enabled"},
    {"Off", "armed=1", "", IDOK, {"DisableProtect", "SetBootEntry", "ClearBootRestore"}, {0}, L"IDC_WAIT1_DLG", nullptr, false, false, "protect=off restore=greyed restoreList=greyed toTheLatest=greyed"},
    {"OffCancelled", "", "", IDCANCEL, {}, {}, nullptr, nullptr, true, false, "protect=on restore=enabled restoreList=enabled"},
    // Refused: reported after the box, logged once seen; the boot entry follows all the same,
    // and the box keeps the user's choice.
    {"OnRefused", "protect=0 armed=1", "EnableProtect", 0, {"EnableProtect", "GetSnapshotSetting", "SetBootEntry"}, {1}, L"IDC_WAIT_DLG", L"IDS_ENABLE_ERROR", false, true, "protect=on restore=enabled"},
    {"OffRefused", "armed=1", "DisableProtect", IDOK, {"DisableProtect", "SetBootEntry", "ClearBootRestore"}, {0}, L"IDC_WAIT1_DLG", L"IDS_DISABLE_ERROR", true, false, "protect=off restore=greyed"},
};
// clang-format on

void ExpectWaitingText(HWND box, const std::wstring& text) {
    const std::wstring shown = Text(box, IDC_STATIC_WAIT);
    ASSERT_EQ(shown.compare(0, text.size(), text), 0) << Narrow(shown);
    const std::wstring dots = shown.substr(text.size());
    EXPECT_TRUE(dots.size() >= 1 && dots.size() <= 3 &&
                dots.find_first_not_of(L'.') == std::wstring::npos)
        << Narrow(shown);
}

void RunSwitch(Session& session, const SwitchRow& row) {
    HWND dialog = session.Open(row.engine);
    ASSERT_NE(dialog, nullptr);
    session.ForgetCalls();
    const char* first = row.answer ? "DisableProtect" : "EnableProtect";
    session.sandbox.DelayEngine(first, 1000);  // long enough to see the box
    if (*row.failing) session.sandbox.FailEngine(row.failing, kCode);
    const HostProcess& host = *session.host;

    Click(dialog, IDC_CHECK_PROTECT);
    if (row.answer) {
        HWND question = host.WaitForMessageBox();
        ASSERT_NE(question, nullptr) << "no question";
        EXPECT_EQ(Text(question), Text(dialog));
        EXPECT_EQ(OwnerOf(question), dialog);
        EXPECT_TRUE(session.EngineCalls().empty()) << "the engine was called before the answer";
        AnswerMessageBox(host, session.Setting(L"SETTING", L"DISABLE_CP_CONFIRM"), row.answer);
    }
    if (row.waitingKey) {
        HWND box = host.WaitForDialogWith(IDC_STATIC_WAIT, 5000);
        ASSERT_NE(box, nullptr) << "no waiting box";
        ExpectWaitingText(box, session.Setting(L"Setting", row.waitingKey));
        // The restore controls follow at the click, before the engine has answered.
        EXPECT_TRUE(session.Entries(first).empty());
        ExpectControls(dialog, row.controls);
        EXPECT_FALSE(::IsWindowEnabled(dialog));
    }
    const std::wstring logged = L"Error = " + std::to_wstring(kCode) + L" ";
    if (row.reportKey) {
        HWND report = WaitForMessageDialog(host);
        ASSERT_NE(report, nullptr) << "no report";
        EXPECT_EQ(FindWaitingBox(host), nullptr) << "reported before the waiting box closed";
        EXPECT_EQ(Text(report, IDC_MSG_TEXT), session.Setting(L"ERROR_STRING", row.reportKey));
        EXPECT_TRUE(Visible(report, IDC_MSG_OK));
        EXPECT_EQ(OwnerOf(report), dialog);
        EXPECT_FALSE(::IsWindowEnabled(dialog));
        EXPECT_TRUE(session.LogWith(logged).empty()) << "logged before the user saw it";
        Click(report, IDC_MSG_OK);
    }
    const std::string last = row.calls.empty() ? "" : row.calls.back();
    EXPECT_TRUE(WaitUntil([&] { return last.empty() || !session.Entries(last).empty(); }, 15000));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(dialog) != FALSE; }, 15000));
    EXPECT_TRUE(
        WaitUntil([&] { return session.LogWith(logged).size() == (row.reportKey ? 1u : 0u); }));
    host.Settle();

    std::vector<std::string> calls = session.EngineCalls();
    if (row.reportKey)
        calls.erase(std::remove(calls.begin(), calls.end(), "GetProductInfo"), calls.end());
    EXPECT_EQ(calls, row.calls);
    std::vector<DWORD> actions;
    for (const auto& entry : session.Entries("SetBootEntry")) {
        actions.push_back(entry.Number("action").value_or(99));
        EXPECT_EQ(entry.Ansi("title").value_or(""), "Corvianex Recovery Environment");
    }
    EXPECT_EQ(actions, row.bootActions);
    const sim::EngineState engine = session.sandbox.Engine();
    EXPECT_EQ(engine.protectOn, row.protectAfter);
    EXPECT_EQ(engine.bootEntry.present, row.bootEntryAfter);
    if (row.answer == IDOK) {
        EXPECT_FALSE(engine.bootRestore.armed);
    }
    ExpectControls(dialog, row.controls);
    EXPECT_EQ(FindMessageDialog(host), nullptr) << "reported twice";
    EXPECT_EQ(FindWaitingBox(host), nullptr);
    EXPECT_EQ(session.Log().size(), row.reportKey ? 1u : 0u);
    session.Close(dialog);
}

TEST(SwitchTest, EachSwitchRunsBehindTheWaitingBoxWithItsBootEntry) {
    Session session;
    for (const SwitchRow& row : kRows) {
        SCOPED_TRACE(row.name);
        RunSwitch(session, row);
    }
}

// Two quick clicks never run two switches at once: a second click while the first runs is
// undone (a "switch off" would have asked first).
TEST(SwitchTest, QuickSecondClicksAreUndone) {
    Session session;
    const struct {
        const char* name;
        void (*give)(HWND dialog);
    } ways[] = {
        {"posted",
         [](HWND d) {
             Click(d, IDC_CHECK_PROTECT);
             Click(d, IDC_CHECK_PROTECT);
         }},
        {"mouse",
         [](HWND d) {
             const RECT box = RectIn(d, IDC_CHECK_PROTECT);
             const POINT at = ClientToScreenPoint(d, box.left + 7, (box.top + box.bottom) / 2);
             BringToFront(d);
             MouseClick(at);
             MouseClick(at);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        HWND dialog = session.Open("protect=0");
        ASSERT_NE(dialog, nullptr);
        session.ForgetCalls();
        session.sandbox.DelayEngine("EnableProtect", 1000);
        way.give(dialog);
        ASSERT_TRUE(WaitUntil([&] { return !session.Entries("GetSnapshotSetting").empty(); }));
        ASSERT_TRUE(WaitUntil([&] { return FindWaitingBox(*session.host) == nullptr; }));
        session.host->Settle();
        EXPECT_EQ(session.host->FindMessageBox(), nullptr);
        EXPECT_EQ(session.EngineCalls(),
                  (std::vector<std::string>{"EnableProtect", "GetSnapshotSetting"}));
        EXPECT_TRUE(session.sandbox.Engine().protectOn);
        ExpectControls(dialog, "protect=on restore=enabled");
        session.Close(dialog);
    }
}

// OK pressed (twice) while the switch still sits in its last engine call: the switch ends
// first, whole, then one save runs; the two workers never run at once.
TEST(SwitchTest, OkDuringTheSwitchesLastCallSavesOnceAfterIt) {
    Session session;
    HWND dialog = session.Open("protect=0 restore=1 tray=0");
    ASSERT_NE(dialog, nullptr);
    session.ForgetCalls();
    session.sandbox.DelayEngine("SetBootEntry", 2000);
    Click(dialog, IDC_CHECK_PROTECT);
    ASSERT_TRUE(WaitUntil([&] { return !session.Entries("GetSnapshotSetting").empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return FindWaitingBox(*session.host) == nullptr; }));
    ASSERT_TRUE(session.Entries("SetBootEntry").empty()) << "the switch ended too early";
    Click(dialog, IDC_BTN_OK);
    Click(dialog, IDC_BTN_OK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 30000)) << "not saved";

    const auto calls = session.EngineCalls();
    ASSERT_GE(calls.size(), 3u) << Joined(calls);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 3),
              (std::vector<std::string>{"EnableProtect", "GetSnapshotSetting", "SetBootEntry"}));
    for (const char* once : {"SetBootEntry", "GetProtectState", "SetSnapshotSetting"})
        EXPECT_EQ(std::count(calls.begin(), calls.end(), once), 1) << once << ": " << Joined(calls);
    const auto journal = session.sandbox.Journal();
    const DWORD switchThread = journal.front().threadId;
    size_t lastOfSwitch = 0, firstOfSave = journal.size();
    for (size_t i = 0; i < journal.size(); ++i) {
        if (journal[i].threadId == switchThread)
            lastOfSwitch = i;
        else if (firstOfSave == journal.size())
            firstOfSave = i;
    }
    EXPECT_LT(lastOfSwitch, firstOfSave) << Joined(calls);
    const sim::EngineState engine = session.sandbox.Engine();
    EXPECT_TRUE(engine.bootEntry.present);
    EXPECT_TRUE(engine.bootRestore.armed) << "the save armed the restore after the switch";
    session.ExpectLog({});
}

}  // namespace
