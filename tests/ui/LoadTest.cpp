// What the settings dialog shows when it opens, as the controls show it: each part of the
// settings model on its control (title, usage line, boxes, lists, labels, enabled states), and
// what a failing engine call leaves behind (the template's texts, the log). The model's own
// rules for every field are its native tables (tests/model). One row per opening, one host.
#include <algorithm>

#include "Session.h"

using namespace testsupport;

namespace {

struct LoadRow {
    const char* name;
    const char* engine;
    std::vector<IniValue> ini;
    const char* controls;
    std::vector<std::pair<int, std::wstring>> texts;  // control id (0: the title) and text
    const char* failing = "";                         // the engine call made to fail
    std::wstring logged;  // part of the one log record; empty: nothing logged
};

const std::wstring kUsage = L"Protected space: 1247.250 GB used of 3200.000 GB";

// clang-format off
const LoadRow kRows[] = {
    // Title and usage line: the title with the product name, the usage with the figures.
    {"Title", "product=Acme", {{L"SETTING", L"TITLE", L"[PRODUCTNAME] - [PRODUCTNAME]"}, {L"SETTING", L"CP", L"Protect with [PRODUCTNAME]"}}, "", {{0, L"Acme - Acme"}, {IDC_CHECK_PROTECT, L"Protect with [PRODUCTNAME]"}}},
    {"UsageShipped", "", {}, "", {{IDC_STATIC_SZ_SHOW, kUsage}}},
    // Protection, notifications, restore at start-up and its list, password.
    {"AllShownRestoreOff", "protect=1 toaster=1 tray=1 restore=0 choice=1", {}, "protect=on toaster=on tray=on restore=off,enabled restoreList=#0,enabled,items=2 toTheLatest=enabled password=off"},
    {"QuietWithPassword", "toaster=0 tray=0 restore=1 choice=1 password=s3cret", {}, "toaster=off tray=off restore=on,enabled restoreList=#0 password=on"},
    {"ProtectionOffRestoreOn", "protect=0 restore=1 choice=0", {}, "protect=off restore=on,greyed restoreList=#1,greyed toTheLatest=greyed"},
    // The period lists with their entries and selections, the units' labels.
    {"TwoHoursAndThirtyMinutes", "schedule=1@120 events=1@30", {}, "schedule=on,enabled scheduleList=#2,enabled,items=7 scheduleUnit=enabled cycleList=#0,items=7"},
    // A count no person wrote opens at once with the lists cut short, and says so in the log.
    {"AbsurdCount", "schedule=1@240", {{L"TIMELIST", L"COUNT", L"100000"}}, "scheduleList=items=100,#3 cycleList=items=100", {}, "", L"100000"},
    // The event options and the cycle they decide.
    {"SystemFolder", "events=0x0001@30", {}, "systemFolder=on,enabled newProgram=off,enabled cycle=on,greyed cycleList=#0,enabled cycleUnit=enabled"},
    // Every enabled state at once: restore at start-up greys every snapshot option.
    {"RestoreGreysTheOptions", "schedule=1@240 events=0x3@120 restore=1", {}, "schedule=on,greyed scheduleList=#3,greyed scheduleUnit=greyed systemFolder=on,greyed newProgram=on,greyed cycle=on,greyed cycleList=#2,greyed cycleUnit=greyed restore=on,enabled restoreList=enabled tray=enabled toaster=enabled apply=greyed,hidden"},
    // A failing call: what was set before it stays, the template's texts for the rest, the
    // code logged once and nothing else reaching the engine.
    {"ProductInfoFails", "password=pw events=1@30", {}, "protect=off", {{0, L""}, {IDC_CHECK_PROTECT, L"Turn on system protection"}, {IDC_STATIC_SZ_SHOW, L"IDC_STATIC_SZ_SHOW"}}, "GetProductInfo", L"Error = 4321 "},
    {"SpaceUsageFails", "password=pw events=1@30", {}, "protect=off", {{0, shipped::kTitle}, {IDC_STATIC_SZ_SHOW, L"IDC_STATIC_SZ_SHOW"}}, "GetSpaceUsage", L"Error = 4321 "},
    {"EventSettingFails", "password=pw events=1@30", {}, "scheduleList=items=7,#2 password=on systemFolder=off cycle=off cycleList=items=0", {}, "GetEventMonitorSetting", L"Error = 4321 "},
};
// clang-format on

TEST(LoadTest, EachRowOpensShowingItsEngineAndConfiguration) {
    Session session;
    for (const LoadRow& row : kRows) {
        SCOPED_TRACE(row.name);
        session.Prepare(row.engine, row.ini);
        if (*row.failing) session.sandbox.FailEngine(row.failing, 4321);
        HWND dialog = session.host->OpenSettings();
        ASSERT_NE(dialog, nullptr);
        ExpectControls(dialog, row.controls);
        for (const auto& [id, text] : row.texts)
            EXPECT_EQ(id == 0 ? Text(dialog) : Text(dialog, id), text) << "control " << id;
        session.ExpectOnlyReads();
        if (*row.failing) {
            // The failing call was the last, made once; none after it when it is an error.
            const auto calls = session.EngineCalls();
            EXPECT_EQ(std::count(calls.begin(), calls.end(), row.failing), 1);
            if (!row.logged.empty()) {
                EXPECT_EQ(calls.back(), row.failing) << Joined(calls);
            }
        }
        session.ExpectLog(row.logged.empty() ? std::vector<std::wstring>{}
                                             : std::vector<std::wstring>{row.logged});
        session.Close(dialog);
    }
}

TEST(LoadTest, ListEntriesAreTheTextsOfSettingIni) {
    Session session;
    HWND dialog = session.Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ComboItems(dialog, IDC_COMBO_SCHEDULE),
              (std::vector<std::wstring>{L"15 minutes", L"1 hour", L"2 hours", L"4 hours",
                                         L"6 hours", L"12 hours", L"24 hours"}));
    EXPECT_EQ(ComboItems(dialog, IDC_COMBO_EV_CYCLE),
              (std::vector<std::wstring>{L"30 minutes", L"1 hour", L"2 hours", L"4 hours",
                                         L"6 hours", L"12 hours", L"24 hours"}));
    EXPECT_EQ(ComboItems(dialog, IDC_COMBO_AR),
              (std::vector<std::wstring>{L"the system drive", L"all protected drives"}));
    session.Close(dialog);
}

}  // namespace
