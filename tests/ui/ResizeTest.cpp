// The resize link: its question in the skinned message dialog, the resize tool run with the
// dialog hidden, the restore at start-up cancelled before it, the flag the tool leaves, and
// the message dialog itself (texts from CreateDisk.ini, answers, drag band, red heading).
#include <algorithm>

#include "Session.h"

using namespace testsupport;

namespace {

// Clicks the resize link as a user does; the question is then up.
HWND AskResize(Session& session, HWND dialog) {
    const RECT link = RectIn(dialog, IDC_STATIC_RESIZE);
    BringToFront(dialog);
    MouseClick(
        ClientToScreenPoint(dialog, (link.left + link.right) / 2, (link.top + link.bottom) / 2));
    HWND question = WaitForMessageDialog(*session.host);
    session.ForgetCalls();
    return question;
}

// The tool's run is over (when it can run) and the dialog is back (after the failure report,
// when there is one).
void FinishResize(Session& session, HWND dialog, bool reported, bool toolRuns = false) {
    if (toolRuns) {
        ASSERT_TRUE(WaitUntil([&] { return !session.Entries("Tessinit").empty(); }, 20000))
            << "the tool did not run";
    }
    if (reported) {
        HWND report = WaitForMessageDialog(*session.host, 20000);
        ASSERT_NE(report, nullptr) << "no failure report";
        EXPECT_EQ(Text(report), L"Vaultkeeper Caption 7");
        EXPECT_EQ(Text(report, IDC_MSG_TEXT), session.Setting(L"SETTING", L"RESIZEMSGERROR"));
        EXPECT_EQ(Text(report, IDC_MSG_HEADING), shipped::kWrong);
        EXPECT_TRUE(Visible(report, IDC_MSG_OK));
        EXPECT_FALSE(Visible(report, IDC_MSG_YES));
        EXPECT_FALSE(Visible(report, IDC_MSG_NO));
        EXPECT_EQ(OwnerOf(report), dialog);
        Click(report, IDC_MSG_OK);
    }
    ASSERT_TRUE(
        WaitUntil([&] { return ::IsWindowVisible(dialog) && ::IsWindowEnabled(dialog); }, 20000))
        << "the dialog was not shown again";
    session.host->Settle();
    EXPECT_EQ(FindMessageDialog(*session.host), nullptr);
}

const char* const kEngine = "product=Vaultkeeper";

void UseCaption(Session& session) {
    session.sandbox.UpdateEngine([](sim::EngineState& s) {
        s.productCaption = L"Vaultkeeper Caption 7";
        s.tessinit.delayMs = 100;
    });
}

// Only "TRUE" in any case counts as success; anything else is reported.
TEST(ResizeTest, OnlyTrueInAnyCaseCountsAsSuccess) {
    Session session;
    const struct {
        const wchar_t* flag;  // as the tool writes it
        bool success;
    } flags[] = {{L"TRUE", true},          {L"true", true},   {L"TrUe", true},
                 {L"TRUE ", false},        {L"FALSE", false}, {sim::kFlagAbsent, false},
                 {sim::kFlagDword, false}, {L"TRU", false}};
    for (const auto& f : flags) {
        SCOPED_TRACE(Narrow(f.flag));
        ASSERT_EQ(sim::WriteInitNvOk(sim::kFlagAbsent), 0u);
        session.Prepare(kEngine);
        UseCaption(session);
        session.sandbox.UpdateEngine([&](sim::EngineState& s) { s.tessinit.initNvOk = f.flag; });
        HWND dialog = session.host->OpenSettings();
        ASSERT_NE(dialog, nullptr);
        HWND question = AskResize(session, dialog);
        ASSERT_NE(question, nullptr);
        Click(question, IDC_MSG_YES);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));
        FinishResize(session, dialog, !f.success, true);
        EXPECT_EQ(sim::ReadInitNvOk(), f.flag) << "the tool did not leave this value";
        EXPECT_EQ(session.Entries("Tessinit").size(), 1u);
        session.Close(dialog);
    }
}

TEST(ResizeTest, ArmedRestoreIsCancelledBeforeTheHiddenDialogRunsTheTool) {
    Session session;
    session.Prepare("armed=1");
    session.sandbox.UpdateEngine([](sim::EngineState& s) {
        s.tessinit.delayMs = 1500;
        s.tessinit.newTotal = 4194304000u;  // 4000 after the division by 2^20
        s.tessinit.newFree = 1048576000u;   // 1000
    });
    HWND dialog = session.host->OpenSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog, IDC_STATIC_SZ_SHOW),
              L"Protected space: 1247.250 GB used of 3200.000 GB");
    HWND question = AskResize(session, dialog);
    ASSERT_NE(question, nullptr);
    Click(question, IDC_MSG_YES);
    ASSERT_TRUE(WaitUntil([] {
        return ::FindWindowW(L"CorvianexTessinitProgress", nullptr) != nullptr;
    })) << "the tool's window did not show";
    EXPECT_FALSE(::IsWindowVisible(dialog)) << "the dialog stayed up while the tool ran";
    FinishResize(session, dialog, false, true);
    EXPECT_EQ(Text(dialog, IDC_STATIC_SZ_SHOW),
              L"Protected space: 3000.000 GB used of 4000.000 GB");

    const auto journal = session.sandbox.Calls();
    EXPECT_EQ(journal, (std::vector<std::string>{"GetSnapshotSetting", "ClearBootRestore",
                                                 "SetBootEntry", "Tessinit", "GetSpaceUsage"}));
    EXPECT_EQ(session.Entries("SetBootEntry")[0].Number("action"), 0u);
    const sim::EngineState engine = session.sandbox.Engine();
    EXPECT_FALSE(engine.bootRestore.armed);
    EXPECT_FALSE(engine.bootEntry.present);
    EXPECT_EQ(engine.snapshotSetting.bAutoRestore, 1u) << "the stored settings were changed";
    // The tool ran from the product folder with " -RESIZE", and the log says so.
    const std::wstring dir = session.sandbox.Dir();
    const auto runs = session.Entries("Tessinit");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Text("commandLine"), std::wstring(L" -RESIZE"));
    EXPECT_EQ(runs[0].Text("folder"), dir);
    session.ExpectLog({L"] app =" + dir + L"\\Tessinit.exe,directory = " + dir + L"\r\n"});
    session.Close(dialog);
}

struct ResizeRow {
    const char* name;
    const char* engine;
    void (*prepare)(Session&);  // after the dialog is up
    int answer;                 // IDC_MSG_YES, IDC_MSG_NO or 0 for Escape
    std::vector<std::string> journal;
    bool reported;
    std::vector<std::wstring> log;
};

// clang-format off
const ResizeRow kRows[] = {
    {"No", "armed=1", nullptr, IDC_MSG_NO, {}, false, {}},
    {"Escape", "armed=1", nullptr, 0, {}, false, {}},
    {"WithoutRestoreOnlyReads", "", nullptr, IDC_MSG_YES, {"GetSnapshotSetting", "Tessinit", "GetSpaceUsage"}, false, {L"] app ="}},
    {"UnreadableSettingsStopBeforeTheTool", "armed=1", [](Session& s) {s.sandbox.FailEngine("GetSnapshotSetting", 31);}, IDC_MSG_YES, {"GetSnapshotSetting"}, false, {L"Error = 31 "}},
    // The start fails with "file not found": logged, and the flag says it did not work.
    {"MissingTool", "", [](Session& s) {s.sandbox.RemoveFile(L"Tessinit.exe");}, IDC_MSG_YES, {"GetSnapshotSetting", "GetProductInfo", "GetSpaceUsage"}, true, {L"] app =", L"Error = 2 "}},
};
// clang-format on

TEST(ResizeTest, EachAnswerAndFailureEndsAsDesigned) {
    Session session;
    for (const ResizeRow& row : kRows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(sim::WriteInitNvOk(sim::kFlagAbsent), 0u);
        session.Prepare(row.engine);
        UseCaption(session);
        const sim::EngineState before = session.sandbox.Engine();
        HWND dialog = session.host->OpenSettings();
        ASSERT_NE(dialog, nullptr);
        HWND question = AskResize(session, dialog);
        ASSERT_NE(question, nullptr);
        if (row.prepare) row.prepare(session);
        if (row.answer) {
            Click(question, row.answer);
        } else {
            BringToFront(question);
            PressKey(VK_ESCAPE);
        }
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));
        const auto& journal = row.journal;
        FinishResize(session, dialog, row.reported,
                     std::find(journal.begin(), journal.end(), "Tessinit") != journal.end());
        EXPECT_EQ(session.sandbox.Calls(), row.journal);
        if (row.journal.empty()) {
            EXPECT_EQ(sim::ReadInitNvOk(), sim::kFlagAbsent);
            EXPECT_EQ(session.sandbox.Engine(), before);
        }
        session.ExpectLog(row.log);
        session.Close(dialog);
    }
}

// The question: heading, buttons and caption from CreateDisk.ini and the engine; modal over
// the settings dialog. Without CreateDisk.ini heading and buttons are empty but still answer.
TEST(ResizeTest, QuestionTakesItsWordsFromCreateDiskIni) {
    Session session;
    const struct {
        std::vector<IniValue> ini;
        const wchar_t *heading, *yes, *no;
    } rows[] = {
        {{{L"String", L"IDS_WARNING", L"Think twice", L"CreateDisk.ini"},
          {L"String", L"IDS_YES", L"Go ahead", L"CreateDisk.ini"},
          {L"String", L"IDS_NO", L"Leave it", L"CreateDisk.ini"}},
         L"Think twice",
         L"Go ahead",
         L"Leave it"},
        {{}, L"", L"", L""},
    };
    for (const auto& r : rows) {
        session.Prepare(kEngine, r.ini);
        UseCaption(session);
        if (r.ini.empty()) session.sandbox.RemoveFile(L"CreateDisk.ini");
        HWND dialog = session.host->OpenSettings();
        ASSERT_NE(dialog, nullptr);
        HWND box = AskResize(session, dialog);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Text(box), L"Vaultkeeper Caption 7");
        EXPECT_EQ(Text(box, IDC_MSG_HEADING), r.heading);
        EXPECT_EQ(Text(box, IDC_MSG_TEXT), session.Setting(L"SETTING", L"RESIZEMSG"));
        EXPECT_EQ(Text(box, IDC_MSG_YES), r.yes);
        EXPECT_EQ(Text(box, IDC_MSG_NO), r.no);
        EXPECT_TRUE(Visible(box, IDC_MSG_YES) && Visible(box, IDC_MSG_NO));
        EXPECT_FALSE(Visible(box, IDC_MSG_OK));
        EXPECT_EQ(OwnerOf(box), dialog);
        EXPECT_FALSE(::IsWindowEnabled(dialog));
        Click(box, IDC_MSG_NO);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
        FinishResize(session, dialog, false);
        EXPECT_TRUE(session.EngineCalls().empty());
        session.Close(dialog);
    }
}

// A press in the top 31 rows drags the box; one below does not. Its heading is red and bold.
TEST(ResizeTest, QuestionDragsByItsBandAndShowsARedBoldHeading) {
    Session session;
    HWND dialog = session.Open();
    ASSERT_NE(dialog, nullptr);
    HWND box = AskResize(session, dialog);
    ASSERT_NE(box, nullptr);
    BringToFront(box);
    session.host->Settle();
    const RECT heading = RectIn(box, IDC_MSG_HEADING);
    const Capture pixels(box);
    const int area = (heading.right - heading.left) * (heading.bottom - heading.top);
    EXPECT_GT(pixels.Count(heading, RGB(255, 0, 0)), 20) << "no red heading text";
    EXPECT_GT(pixels.Count(heading, RGB(255, 255, 255)), area / 2) << "not on white";
    bool wideStroke = false;  // bold strokes at 10 points are two pixels wide
    for (int y = heading.top; y < heading.bottom; ++y) {
        for (int x = heading.left; x + 1 < heading.right; ++x)
            wideStroke |=
                pixels.At(x, y) == RGB(255, 0, 0) && pixels.At(x + 1, y) == RGB(255, 0, 0);
    }
    EXPECT_TRUE(wideStroke) << "the heading is not bold";

    const int width = ClientSize(box).cx;
    auto drag = [&](int x, int y) {
        const POINT from = ClientToScreenPoint(box, x, y);
        MouseDown(from);
        MoveMouse({from.x + 25, from.y + 15});
        MoveMouse({from.x + 50, from.y + 30});
        MouseUp({from.x + 50, from.y + 30});
        session.host->Settle();
    };
    const RECT start = WindowRectOf(box);
    drag(6, 31);  // just below the band: ignored
    EXPECT_EQ(WindowRectOf(box).left, start.left);
    drag(width - 6, 30);  // the band's last row
    EXPECT_TRUE(WaitUntil(
        [&] {
            const RECT now = WindowRectOf(box);
            return now.left == start.left + 50 && now.top == start.top + 30;
        },
        3000));
    EXPECT_TRUE(::IsWindowVisible(box)) << "a drag is no answer";
    Click(box, IDC_MSG_NO);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    FinishResize(session, dialog, false);
    session.Close(dialog);
}

}  // namespace
