// What the settings show when the dialog opens: every field of the engine's records in its
// option, the two period lists from Setting.ini, the enable rules applied at load, and what a
// failing engine call leaves behind. One row per load, in the model alone.
#include "ModelWorld.h"

using namespace modeltest;

namespace {

struct LoadRow {
    const char* name;
    const char* engine;
    std::vector<IniValue> ini;
    const char* options;
    const wchar_t* title = nullptr;  // null: not checked; L"-": not set by the load
    const wchar_t* usage = nullptr;
    const char* failing = "";     // the engine call made to fail (with 4321)
    const wchar_t* logged = L"";  // the load's log trace
};

const wchar_t* const kUnset = L"-";
const wchar_t* const kUsage = L"Protected space: 1247.250 GB used of 3200.000 GB";

// clang-format off
const LoadRow kRows[] = {
    // Title and usage line: only the title takes the product name.
    {"Title", "product=Acme", {{L"SETTING", L"TITLE", L"[PRODUCTNAME] - [PRODUCTNAME]"}}, "", L"Acme - Acme"},
    {"UsageHalf", "usage=10485760/5242880", {{L"SETTING", L"VP_FREESHOW", L"[USED] of [TOTAL]"}}, "", nullptr, L"5.000 of 10.000"},
    {"UsageEveryPlaceholder", "usage=10485760/5242880", {{L"SETTING", L"VP_FREESHOW", L"[TOTAL]/[TOTAL] ([USED][USED])"}}, "", nullptr, L"10.000/10.000 (5.0005.000)"},
    {"UsageNoProductName", "product=Acme", {{L"SETTING", L"VP_FREESHOW", L"[PRODUCTNAME] [USED]"}}, "", nullptr, L"[PRODUCTNAME] 1247.250"},
    {"UsageShipped", "", {}, "", L"Corvianex Shield Settings", kUsage},
    // The difference is taken on the unsigned values: 2^32 - 1 MiB.
    {"UsageFreeAboveTotal", "usage=1048576/2097152", {{L"SETTING", L"VP_FREESHOW", L"[USED]|[TOTAL]"}}, "", nullptr, L"4095.000|1.000"},
    {"UsageLargest", "usage=0xFFFFFFFF/0xFFFFFFFF", {{L"SETTING", L"VP_FREESHOW", L"[USED]|[TOTAL]"}}, "", nullptr, L"0.000|4096.000"},

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
    // ... even when a later entry matches as well.
    {"FirstEntryWinsOverAMatch", "schedule=1@15 events=1@30", {{L"TIMELIST", L"TIME_3", L"0.25 hours"}}, "scheduleList=#0 cycleList=#0"},
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
    {"NegativeCount", "schedule=1@15 events=1@30", {{L"TIMELIST", L"COUNT", L"-4"}}, "scheduleList=items=0,#-1 cycleList=items=0,#-1"},
    // A count no person wrote is cut to the first hundred entries, and said so.
    {"AbsurdCount", "schedule=1@240", {{L"TIMELIST", L"COUNT", L"100000"}}, "scheduleList=items=100,#3 cycleList=items=100", nullptr, nullptr, "", L"TIMELIST COUNT 100000 is more than 100; the rest is ignored"},
    {"CountAtTheLimit", "schedule=1@240", {{L"TIMELIST", L"COUNT", L"100"}}, "scheduleList=items=100,#3 cycleList=items=100"},
    {"CountJustAboveTheLimit", "schedule=1@240", {{L"TIMELIST", L"COUNT", L"101"}}, "scheduleList=items=100,#3 cycleList=items=100", nullptr, nullptr, "", L"TIMELIST COUNT 101 is more than 100; the rest is ignored"},

    // Event options; the cycle is checked exactly when one is on, and never enabled.
    {"SystemFolder", "events=0x0001@30", {}, "systemFolder=on,enabled newProgram=off,enabled cycle=on,greyed cycleList=#0,enabled cycleUnit=enabled"},
    {"NewProgram", "events=0x0002@120", {}, "systemFolder=off newProgram=on cycle=on,greyed cycleList=#2,enabled"},
    {"BothEvents", "events=0x0003@60", {}, "systemFolder=on newProgram=on cycle=on cycleList=#1"},
    {"NoEvent", "events=0@60", {}, "systemFolder=off newProgram=off cycle=off,greyed cycleList=#1,greyed cycleUnit=greyed"},
    {"OnlyUnknownBits", "events=0xFFFC@240", {}, "systemFolder=off newProgram=off cycle=off cycleList=#3,greyed"},
    {"EventWithoutPeriod", "events=0x0001@0", {}, "cycle=on,greyed cycleList=#-1,enabled"},

    // Restore at start-up greys every snapshot option, keeping its value.
    {"RestoreGreysTheOptions", "schedule=1@240 events=0x3@120 restore=1", {}, "schedule=on,greyed scheduleList=#3,greyed scheduleUnit=greyed systemFolder=on,greyed newProgram=on,greyed cycle=on,greyed cycleList=#2,greyed cycleUnit=greyed restore=on,enabled restoreList=enabled tray=enabled toaster=enabled apply=greyed"},
    {"RestoreOffLeavesThemEnabled", "schedule=1@240 events=0x3@120", {}, "schedule=enabled scheduleList=enabled scheduleUnit=enabled systemFolder=enabled newProgram=enabled cycle=greyed cycleList=enabled cycleUnit=enabled apply=greyed"},

    // A failing call: what was set before it stays, nothing after it is set, and nothing
    // after it reaches the engine.
    {"ProductInfoFails", "password=pw events=1@30", {}, "protect=off password=off scheduleList=items=0", kUnset, kUnset, "GetProductInfo"},
    {"SpaceUsageFails", "password=pw events=1@30", {}, "protect=off", L"Corvianex Shield Settings", kUnset, "GetSpaceUsage"},
    {"ProtectStateFails", "password=pw events=1@30", {}, "protect=off toaster=off scheduleList=items=0 cycleList=items=0", nullptr, kUsage, "GetProtectState"},
    {"SnapshotSettingFails", "password=pw events=1@30", {}, "protect=on toaster=off tray=off password=off restoreList=#0 scheduleList=items=0 cycleList=items=0", nullptr, nullptr, "GetSnapshotSetting"},
    {"EventSettingFails", "password=pw events=1@30", {}, "scheduleList=items=7,#2 password=on systemFolder=off cycle=off,enabled cycleList=items=0", nullptr, nullptr, "GetEventMonitorSetting"},
    // Not an error: the password box stays clear and the load goes on.
    {"PassWordFails", "password=pw events=1@30", {}, "tray=on password=off systemFolder=on cycle=on cycleList=#0", nullptr, nullptr, "GetCvxPassWord"},
};
// clang-format on

const std::vector<std::string> kLoadCalls = {"GetProductInfo",  "GetSpaceUsage",
                                             "GetProtectState", "GetSnapshotSetting",
                                             "GetCvxPassWord",  "GetEventMonitorSetting"};

void ExpectText(const std::optional<std::wstring>& got, const wchar_t* want, const char* what) {
    if (!want) return;
    if (std::wstring(want) == kUnset) {
        EXPECT_FALSE(got.has_value()) << what << " set";
    } else {
        EXPECT_EQ(got.value_or(L"(not set)"), want) << what;
    }
}

TEST(LoadModelTest, EachRowShowsItsEngineAndConfiguration) {
    for (const LoadRow& row : kRows) {
        SCOPED_TRACE(row.name);
        World world(row.engine);
        if (*row.failing) world.state.failures[row.failing] = 4321;
        Configuration config(row.ini);
        settings::Options options = MadeOptions(config);
        settings::Texts texts;
        const auto failure = settings::Load(world, &config, options, texts);
        ExpectOptions(options, row.options);
        ExpectText(texts.title, row.title, "title");
        ExpectText(texts.usage, row.usage, "usage");
        EXPECT_EQ(world.logged, std::vector<std::wstring>(*row.logged ? 1 : 0, row.logged));

        // The engine's reads in their order, up to a failing one; only a real failure ends
        // the load and comes back with the engine's code.
        std::vector<std::string> calls = kLoadCalls;
        const bool fatal = *row.failing && std::string(row.failing) != "GetCvxPassWord";
        if (fatal) {
            calls.erase(std::find(calls.begin(), calls.end(), row.failing) + 1, calls.end());
            ASSERT_TRUE(failure.has_value());
            EXPECT_EQ(failure->code, 4321);
        } else {
            EXPECT_FALSE(failure.has_value()) << failure->code;
        }
        EXPECT_EQ(world.calls, calls);
    }
}

// The schedule list's traces for the debugger: each entry with the stored period, and the
// entry selected with its result and the schedule's switch.
TEST(LoadModelTest, ScheduleListTracesEachEntryAndTheSelection) {
    World world("schedule=1@120");
    Configuration config({{L"TIMELIST", L"COUNT", L"3"}});
    settings::Options options = MadeOptions(config);
    settings::Texts texts;
    settings::Load(world, &config, options, texts);
    EXPECT_EQ(world.traces, (std::vector<std::wstring>{
                                L"iValue:15, dwCycleMinutes:120", L"iValue:1, dwCycleMinutes:120",
                                L"iValue:2, dwCycleMinutes:120",
                                L"setcursel:2, ret:2, lpSetting->AutoCreate.bEnable:1"}));
}

// Without a reader of Setting.ini the load ends after the product information, as a trace.
TEST(LoadModelTest, NoConfigurationEndsTheLoadAfterTheProductInformation) {
    World world;
    Configuration config;
    settings::Options options = MadeOptions(config);
    settings::Texts texts;
    const auto failure = settings::Load(world, nullptr, options, texts);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->code, 0);
    EXPECT_EQ(failure->text, L"iniFile Pointer is NULL");
    EXPECT_EQ(world.calls, std::vector<std::string>{"GetProductInfo"});
    EXPECT_FALSE(texts.title.has_value());
}

}  // namespace
