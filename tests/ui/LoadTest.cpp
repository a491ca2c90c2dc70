// What the settings dialog shows when it opens: every field of the engine's records on its
// control, the two period lists from Setting.ini, the enable rules applied at load, and what
// a failing engine call leaves behind. One row per opening, all in one host.
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
    // Title and usage line: only the title takes the product name.
    {"Title", "product=Acme", {{L"SETTING", L"TITLE", L"[PRODUCTNAME] - [PRODUCTNAME]"}, {L"SETTING", L"CP", L"Protect with [PRODUCTNAME]"}}, "", {{0, L"Acme - Acme"}, {IDC_CHECK_PROTECT, L"Protect with [PRODUCTNAME]"}}},
    {"UsageHalf", "usage=10485760/5242880", {{L"SETTING", L"VP_FREESHOW", L"[USED] of [TOTAL]"}}, "", {{IDC_STATIC_SZ_SHOW, L"5.000 of 10.000"}}},
    {"UsageEveryPlaceholder", "usage=10485760/5242880", {{L"SETTING", L"VP_FREESHOW", L"[TOTAL]/[TOTAL] ([USED][USED])"}}, "", {{IDC_STATIC_SZ_SHOW, L"10.000/10.000 (5.0005.000)"}}},
    {"UsageShipped", "", {}, "", {{IDC_STATIC_SZ_SHOW, kUsage}}},
    // The difference is taken on the unsigned values: 2^32 - 1 MiB.
    {"UsageFreeAboveTotal", "usage=1048576/2097152", {{L"SETTING", L"VP_FREESHOW", L"[USED]|[TOTAL]"}}, "", {{IDC_STATIC_SZ_SHOW, L"4095.000|1.000"}}},
    {"UsageLargest", "usage=0xFFFFFFFF/0xFFFFFFFF", {{L"SETTING", L"VP_FREESHOW", L"[USED]|[TOTAL]"}}, "", {{IDC_STATIC_SZ_SHOW, L"0.000|4096.000"}}},

    // Protection, notifications, restore at start-up, password. Any nonzero value is "on".
    {"AllShownRestoreOff", "protect=1 toaster=1 tray=1 restore=0 choice=1", {}, "protect=on toaster=on tray=on restore=off,enabled restoreList=#0,enabled,items=2 toTheLatest=enabled password=off"},
    {"QuietWithPassword", "toaster=0 tray=0 restore=1 choice=1 password=s3cret", {}, "toaster=off tray=off restore=on,enabled restoreList=#0 password=on"},
    {"SecondChoice", "restore=1 choice=0", {}, "restore=on restoreList=#1"},
    {"HighBytes", "suppress=0x80 tray=0x100 restore=0x10000 choice=0x1000000 password=x", {}, "toaster=off tray=on restore=on restoreList=#0 password=on"},
    // Restore off puts the choice back to the first entry whatever is stored.
    {"RestoreOffResetsChoice", "restore=0 choice=0", {}, "restore=off restoreList=#0"},
    // With protection off the restore controls are greyed, even with restore armed.
    {"ProtectionOffRestoreOn", "protect=0 restore=1 choice=0", {}, "protect=off restore=on,greyed restoreList=#1,greyed toTheLatest=greyed"},
    {"ProtectionOffRestoreOff", "protect=0 toaster=0 tray=0 password=pw", {}, "protect=off toaster=off tray=off restore=off,greyed restoreList=greyed password=on"},

    // Period lists: the entry of the stored period is selected.
    {"TwoHoursAndThirtyMinutes", "schedule=1@120 events=1@30", {}, "schedule=on,enabled scheduleList=#2,enabled,items=7 scheduleUnit=enabled cycleList=#0,items=7"},
    // 15 and 30 minutes always mean the first entries, whatever those say.
    {"FirstEntriesWhateverTheySay", "schedule=1@15 events=1@30", {{L"TIMELIST", L"TIME_0", L"3 hours"}, {L"TIMELIST_EVENT", L"TIME_0", L"5 hours"}}, "scheduleList=#0 cycleList=#0"},
    // Entries hold whole hours: 90 minutes matches none.
    {"NinetyMinutesSelectsNothing", "schedule=1@90 events=1@90", {}, "scheduleList=#-1 cycleList=#-1"},
    // The cycle list is read from its own section.
    {"EachListFromItsOwnSection", "schedule=1@60 events=1@60", {{L"TIMELIST_EVENT", L"TIME_1", L"6 hours"}, {L"TIMELIST_EVENT", L"TIME_4", L"1 hour at a time"}}, "scheduleList=#1 cycleList=#4"},
    // A schedule that is off still shows its stored period, greyed.
    {"ScheduleOffKeepsItsPeriod", "schedule=0@240 events=1@720", {}, "schedule=off,enabled scheduleList=#3,greyed scheduleUnit=enabled cycleList=#5"},
    // Both lists take the count of TIMELIST; the cycle list's own count is ignored.
    {"BothListsTakeTheScheduleCount", "schedule=1@240 events=1@240", {{L"TIMELIST", L"COUNT", L"3"}, {L"TIMELIST_EVENT", L"COUNT", L"7"}}, "scheduleList=items=3,#-1 cycleList=items=3,#-1"},
    // Without a count both lists stay empty, even for the first entries' periods.
    {"NoCount", "schedule=1@15 events=1@30", {{L"TIMELIST", L"COUNT", nullptr}}, "scheduleList=items=0,#-1 cycleList=items=0,#-1"},
    // A count no person wrote opens at once with the lists cut short, and says so.
    {"AbsurdCount", "schedule=1@240", {{L"TIMELIST", L"COUNT", L"100000"}}, "scheduleList=items=100,#3 cycleList=items=100", {}, "", L"100000"},
    {"CountJustAboveTheLimit", "schedule=1@240", {{L"TIMELIST", L"COUNT", L"101"}}, "scheduleList=items=100,#3 cycleList=items=100", {}, "", L"TIMELIST COUNT 101 is more than 100"},

    // Event options; the cycle is checked exactly when one is on, and never enabled.
    {"SystemFolder", "events=0x0001@30", {}, "systemFolder=on,enabled newProgram=off,enabled cycle=on,greyed cycleList=#0,enabled cycleUnit=enabled"},
    {"NewProgram", "events=0x0002@120", {}, "systemFolder=off newProgram=on cycle=on,greyed cycleList=#2,enabled"},
    {"BothEvents", "events=0x0003@60", {}, "systemFolder=on newProgram=on cycle=on cycleList=#1"},
    {"NoEvent", "events=0@60", {}, "systemFolder=off newProgram=off cycle=off,greyed cycleList=#1,greyed cycleUnit=greyed"},
    {"OnlyUnknownBits", "events=0xFFFC@240", {}, "systemFolder=off newProgram=off cycle=off cycleList=#3,greyed"},
    {"EventWithoutPeriod", "events=0x0001@0", {}, "cycle=on,greyed cycleList=#-1,enabled"},

    // Restore at start-up greys every snapshot option, keeping its value.
    {"RestoreGreysTheOptions", "schedule=1@240 events=0x3@120 restore=1", {}, "schedule=on,greyed scheduleList=#3,greyed scheduleUnit=greyed systemFolder=on,greyed newProgram=on,greyed cycle=on,greyed cycleList=#2,greyed cycleUnit=greyed restore=on,enabled restoreList=enabled tray=enabled toaster=enabled apply=greyed,hidden"},
    {"RestoreOffLeavesThemEnabled", "schedule=1@240 events=0x3@120", {}, "schedule=enabled scheduleList=enabled scheduleUnit=enabled systemFolder=enabled newProgram=enabled cycle=greyed cycleList=enabled cycleUnit=enabled apply=greyed"},

    // A failing call: what was set before it stays, nothing after it is set, the code is
    // logged once and nothing else reaches the engine.
    {"ProductInfoFails", "password=pw events=1@30", {}, "protect=off", {{0, L""}, {IDC_CHECK_PROTECT, L"Turn on system protection"}, {IDC_STATIC_SZ_SHOW, L"IDC_STATIC_SZ_SHOW"}}, "GetProductInfo", L"Error = 4321 "},
    {"SpaceUsageFails", "password=pw events=1@30", {}, "protect=off", {{0, shipped::kTitle}, {IDC_STATIC_SZ_SHOW, L"IDC_STATIC_SZ_SHOW"}}, "GetSpaceUsage", L"Error = 4321 "},
    {"ProtectStateFails", "password=pw events=1@30", {}, "protect=off toaster=off scheduleList=items=0 cycleList=items=0", {{IDC_STATIC_SZ_SHOW, kUsage}}, "GetProtectState", L"Error = 4321 "},
    {"SnapshotSettingFails", "password=pw events=1@30", {}, "protect=on toaster=off tray=off password=off scheduleList=items=0 cycleList=items=0", {}, "GetSnapshotSetting", L"Error = 4321 "},
    {"EventSettingFails", "password=pw events=1@30", {}, "scheduleList=items=7,#2 password=on systemFolder=off cycle=off cycleList=items=0", {}, "GetEventMonitorSetting", L"Error = 4321 "},
    // Not an error: the password box stays clear and the load goes on.
    {"PassWordFails", "password=pw events=1@30", {}, "tray=on password=off systemFolder=on cycle=on cycleList=#0", {}, "GetCvxPassWord"},
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
