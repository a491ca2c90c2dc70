// What the settings dialog shows when it opens: every field of the engine's records on its
// control, the two period lists built from Setting.ini, the enable rules applied at load,
// and what a failing engine call leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EngineRecords.h"
#include "HostProcess.h"
#include "Sandbox.h"
#include "Ui.h"
#include "resource.h"

using namespace testsupport;

namespace {

// The sandbox folder of one opening: the test's name, and the table row's when there is one.
std::string SandboxName(const std::string& row = "") {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return test->name() + (row.empty() ? "" : "-" + row);
}

const std::vector<std::wstring> kShippedScheduleList = {
    L"15 minutes", L"1 hour", L"2 hours", L"4 hours", L"6 hours", L"12 hours", L"24 hours"};
const std::vector<std::wstring> kShippedCycleList = {
    L"30 minutes", L"1 hour", L"2 hours", L"4 hours", L"6 hours", L"12 hours", L"24 hours"};

// One opening of the dialog over a product folder of its own: set up the engine and
// Setting.ini through `sandbox`, then Open().
class Opening {
public:
    explicit Opening(const std::string& row = "") : sandbox(SandboxName(row)) {}
    ~Opening() {
        if (host) host->Kill();
    }

    // Starts the host on the sandbox as it stands and waits for the settings dialog.
    HWND Open() {
        host = std::make_unique<HostProcess>(sandbox);
        return host->WaitForSettings();
    }

    void SetSchedule(DWORD enable, DWORD minutes) const {
        sandbox.UpdateEngine([=](sim::EngineState& s) {
            s.snapshotSetting.AutoCreate.bEnable = enable;
            s.snapshotSetting.AutoCreate.dwCycleMinutes = minutes;
        });
    }
    void SetEvents(WORD flags, WORD minutes) const {
        sandbox.UpdateEngine([=](sim::EngineState& s) {
            s.eventMonitorSetting.wFlags = flags;
            s.eventMonitorSetting.wCycleMinutes = minutes;
        });
    }

    // Opening only reads: every journaled call is a Get.
    void ExpectOnlyReads() const {
        for (const auto& call : sandbox.Calls())
            EXPECT_EQ(call.rfind("Get", 0), 0u) << "engine write on opening: " << call;
    }

    Sandbox sandbox;
    std::unique_ptr<HostProcess> host;
};

// Runs `check` on every row of a table, each row in an opening of its own.
template <class Row, class Check>
void ForEachRow(const std::vector<Row>& rows, Check check) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Opening opening(row.name);
        check(row, opening);
    }
}

// ---------------------------------------------------------------------------------------
// Title and usage line

TEST(DialogLoadTest, TitleHasEveryProductNamePlaceholderReplaced) {
    Opening o;
    o.sandbox.UpdateEngine([](sim::EngineState& s) { s.productName = L"Acme Guard"; });
    o.sandbox.SetSetting(L"SETTING", L"TITLE", L"[PRODUCTNAME] - [PRODUCTNAME]");
    // Only the title takes the product name; other texts are shown as written.
    o.sandbox.SetSetting(L"SETTING", L"CP", L"Protect with [PRODUCTNAME]");
    HWND dialog = o.Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog), L"Acme Guard - Acme Guard");
    EXPECT_EQ(Text(dialog, IDC_CHECK_PROTECT), L"Protect with [PRODUCTNAME]");
    o.ExpectOnlyReads();
}

struct UsageRow {
    std::string name;
    DWORD total;
    DWORD free;
    std::wstring line;  // VP_FREESHOW
    std::wstring shown;
};

TEST(DialogLoadTest, UsageLineShowsUsedAndTotalInMegaUnitsWithThreeDecimals) {
    const std::vector<UsageRow> rows = {
        {"HalfUsed", 10485760, 5242880, L"[USED] of [TOTAL]", L"5.000 of 10.000"},
        {"EveryPlaceholder", 10485760, 5242880, L"[TOTAL]/[TOTAL] ([USED][USED])",
         L"10.000/10.000 (5.0005.000)"},
        {"Fractions", 3355443200u, 2047606784u, L"[USED]|[TOTAL]", L"1247.250|3200.000"},
        // The difference is taken on the unsigned values: 2^32 - 1 MiB.
        {"FreeAboveTotal", 1048576, 2097152, L"[USED]|[TOTAL]", L"4095.000|1.000"},
        {"Empty", 0, 0, L"[USED]|[TOTAL]", L"0.000|0.000"},
        {"Largest", 0xFFFFFFFFu, 0xFFFFFFFFu, L"[USED]|[TOTAL]", L"0.000|4096.000"},
    };
    ForEachRow(rows, [](const UsageRow& r, Opening& o) {
        o.sandbox.UpdateEngine([&](sim::EngineState& s) { s.spaceUsage = {r.total, r.free}; });
        o.sandbox.SetSetting(L"SETTING", L"VP_FREESHOW", r.line.c_str());
        HWND dialog = o.Open();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Text(dialog, IDC_STATIC_SZ_SHOW), r.shown);
    });
}

// ---------------------------------------------------------------------------------------
// Protection, notifications, restore at start-up, password

struct RecordRow {
    std::string name;
    DWORD protect;
    BYTE suppressToaster;
    DWORD tray;
    DWORD restore;
    DWORD restoreChoice;
    std::string password;
    // Expected
    bool protectChecked;
    bool toasterChecked;
    bool trayChecked;
    bool restoreChecked;
    int choiceSelection;
    bool restoreEnabled;  // 1042, 1043 and 1048 alike
    bool passwordChecked;
};

TEST(DialogLoadTest, EachRecordFieldSetsItsControl) {
    const std::vector<RecordRow> rows = {
        // name, protect, suppress, tray, restore, choice, password,
        //   protect, toaster, tray, restore, selection, restore enabled, password
        {"AllShownRestoreOff", 1, 0, 1, 0, 1, "", true, true, true, false, 0, true, false},
        {"QuietWithPassword", 1, 1, 0, 1, 1, "s3cret", true, false, false, true, 0, true, true},
        {"SecondChoice", 1, 0, 1, 1, 0, "", true, true, true, true, 1, true, false},
        // Any nonzero value is "on", in whichever byte it stands.
        {"HighBytes", 1, 0x80, 0x100, 0x10000, 0x1000000, "x", true, false, true, true, 0, true,
         true},
        // Restore off puts the choice back to the first entry whatever is stored.
        {"RestoreOffResetsChoice", 1, 0, 1, 0, 0, "", true, true, true, false, 0, true, false},
        // With protection off the restore controls are greyed, even with restore armed.
        {"ProtectionOffRestoreOn", 0, 0, 1, 1, 0, "", false, true, true, true, 1, false, false},
        {"ProtectionOffRestoreOff", 0, 1, 0, 0, 1, "pw", false, false, false, false, 0, false,
         true},
    };
    ForEachRow(rows, [](const RecordRow& r, Opening& o) {
        o.sandbox.UpdateEngine([&](sim::EngineState& s) {
            s.protectOn = r.protect != 0;
            s.snapshotSetting.AutoCreate.bSuppressToaster = r.suppressToaster;
            s.snapshotSetting.bShowTrayIcon = r.tray;
            s.snapshotSetting.bAutoRestore = r.restore;
            s.snapshotSetting.dwRestoreChoice = r.restoreChoice;
            s.password = r.password;
        });
        HWND dialog = o.Open();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Checked(dialog, IDC_CHECK_PROTECT), r.protectChecked);
        EXPECT_EQ(Checked(dialog, IDC_CHECK_TOASTER), r.toasterChecked);
        EXPECT_EQ(Checked(dialog, IDC_CHECK_TRAYICON), r.trayChecked);
        EXPECT_EQ(Checked(dialog, IDC_CHECK_AR), r.restoreChecked);
        EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_AR), r.choiceSelection);
        EXPECT_EQ(ComboItems(dialog, IDC_COMBO_AR),
                  (std::vector<std::wstring>{L"the system drive", L"all protected drives"}));
        EXPECT_EQ(Enabled(dialog, IDC_CHECK_AR), r.restoreEnabled);
        EXPECT_EQ(Enabled(dialog, IDC_COMBO_AR), r.restoreEnabled);
        EXPECT_EQ(Enabled(dialog, IDC_STATIC_TOTHELATEST), r.restoreEnabled);
        EXPECT_EQ(Checked(dialog, IDC_PASSWORD), r.passwordChecked);
        o.ExpectOnlyReads();
        EXPECT_TRUE(o.sandbox.LogLines().empty());
    });
}

// ---------------------------------------------------------------------------------------
// Period lists

struct IniValue {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;  // null deletes the key
};

struct PeriodRow {
    std::string name;
    std::vector<IniValue> ini;
    DWORD scheduleEnable;
    DWORD scheduleMinutes;
    WORD eventMinutes;
    // Expected
    size_t entries;  // of both lists
    int scheduleSelection;
    int cycleSelection;
};

TEST(DialogLoadTest, PeriodListsSelectTheEntryOfTheStoredPeriod) {
    const std::vector<PeriodRow> rows = {
        {"TwoHoursAndThirtyMinutes", {}, 1, 120, 30, 7, 2, 0},
        // 15 and 30 minutes always mean the first entries, whatever those say.
        {"FirstEntriesWhateverTheySay",
         {{L"TIMELIST", L"TIME_0", L"3 hours"}, {L"TIMELIST_EVENT", L"TIME_0", L"5 hours"}},
         1,
         15,
         30,
         7,
         0,
         0},
        // Entries hold whole hours: 90 minutes matches none.
        {"NinetyMinutesSelectsNothing", {}, 1, 90, 90, 7, -1, -1},
        // The cycle list is read from its own section: 60 minutes is its entry that starts
        // with 1, not the schedule list's.
        {"SixtyMinutesSelectsTheEntryStartingWithOne",
         {{L"TIMELIST_EVENT", L"TIME_1", L"6 hours"},
          {L"TIMELIST_EVENT", L"TIME_4", L"1 hour at a time"}},
         1,
         60,
         60,
         7,
         1,
         4},
        // A schedule that is off still shows its stored period, greyed.
        {"ScheduleOffKeepsItsPeriod", {}, 0, 240, 720, 7, 3, 5},
        // Both lists take the count of TIMELIST; the cycle list's own count is ignored.
        {"BothListsTakeTheScheduleCount",
         {{L"TIMELIST", L"COUNT", L"3"}, {L"TIMELIST_EVENT", L"COUNT", L"7"}},
         1,
         240,
         240,
         3,
         -1,
         -1},
        // Without a count both lists stay empty, and nothing is selected even for the
        // periods of the first entries.
        {"NoCount", {{L"TIMELIST", L"COUNT", nullptr}}, 1, 15, 30, 0, -1, -1},
    };
    ForEachRow(rows, [](const PeriodRow& r, Opening& o) {
        for (const IniValue& v : r.ini)
            o.sandbox.SetSetting(v.section, v.key, v.value);
        o.SetSchedule(r.scheduleEnable, r.scheduleMinutes);
        o.SetEvents(EVENT_FLAG_PROTECT_SYSTEM_FOLDER, r.eventMinutes);
        HWND dialog = o.Open();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ComboItems(dialog, IDC_COMBO_SCHEDULE).size(), r.entries);
        EXPECT_EQ(ComboItems(dialog, IDC_COMBO_EV_CYCLE).size(), r.entries);
        EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_SCHEDULE), r.scheduleSelection);
        EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_EV_CYCLE), r.cycleSelection);
        // The schedule box follows the enable field, and its list follows the box.
        EXPECT_EQ(Checked(dialog, IDC_CHECK_SCHEDULE), r.scheduleEnable != 0);
        EXPECT_EQ(Enabled(dialog, IDC_COMBO_SCHEDULE), r.scheduleEnable != 0);
        EXPECT_TRUE(Enabled(dialog, IDC_CHECK_SCHEDULE));
        EXPECT_TRUE(Enabled(dialog, IDC_STATIC_SC_MINUTES));
        o.ExpectOnlyReads();
    });
}

TEST(DialogLoadTest, ListEntriesAreTheTextsOfSettingIni) {
    Opening o;
    HWND dialog = o.Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ComboItems(dialog, IDC_COMBO_SCHEDULE), kShippedScheduleList);
    EXPECT_EQ(ComboItems(dialog, IDC_COMBO_EV_CYCLE), kShippedCycleList);
}

// A count no person wrote (a typing slip, a damaged file) opens the dialog at once with the
// lists cut short, and says so in the log.
TEST(DialogLoadTest, AnAbsurdListCountIsCutShortAndLogged) {
    Opening o;
    o.sandbox.SetSetting(L"TIMELIST", L"COUNT", L"100000");
    o.SetSchedule(1, 240);
    HWND dialog = o.Open();
    ASSERT_NE(dialog, nullptr);
    const auto schedule = ComboItems(dialog, IDC_COMBO_SCHEDULE);
    EXPECT_GE(schedule.size(), 7u);
    EXPECT_LE(schedule.size(), 1000u);
    EXPECT_EQ(ComboItems(dialog, IDC_COMBO_EV_CYCLE).size(), schedule.size());
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_SCHEDULE), 3);
    const auto lines = o.sandbox.LogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(L"100000"), std::wstring::npos);
    o.ExpectOnlyReads();
}

// ---------------------------------------------------------------------------------------
// Event options and the cycle rule

struct EventRow {
    std::string name;
    WORD flags;
    WORD minutes;
    // Expected
    bool systemFolder;
    bool newProgram;
    bool cycle;  // checked; the cycle list and its label are enabled exactly then
    int cycleSelection;
};

TEST(DialogLoadTest, EventFlagsSetTheOptionsAndTheCycleFollowsThem) {
    const std::vector<EventRow> rows = {
        {"SystemFolder", 0x0001, 30, true, false, true, 0},
        {"NewProgram", 0x0002, 120, false, true, true, 2},
        {"Both", 0x0003, 60, true, true, true, 1},
        // Off, but the stored period is still selected.
        {"Neither", 0x0000, 60, false, false, false, 1},
        // Other bits mean neither option.
        {"OnlyUnknownBits", 0xFFFC, 240, false, false, false, 3},
        // Cycle checked and greyed, with no period to select.
        {"SystemFolderWithoutPeriod", 0x0001, 0, true, false, true, -1},
    };
    ForEachRow(rows, [](const EventRow& r, Opening& o) {
        o.SetEvents(r.flags, r.minutes);
        HWND dialog = o.Open();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Checked(dialog, IDC_CHECK_EV_SYSFOLDER), r.systemFolder);
        EXPECT_EQ(Checked(dialog, IDC_CHECK_EV_NEWPROGRAM), r.newProgram);
        EXPECT_TRUE(Enabled(dialog, IDC_CHECK_EV_SYSFOLDER));
        EXPECT_TRUE(Enabled(dialog, IDC_CHECK_EV_NEWPROGRAM));
        EXPECT_EQ(Checked(dialog, IDC_CHECK_EV_CYCLE), r.cycle);
        // The user never sets the cycle box: it is greyed whatever its state.
        EXPECT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
        EXPECT_EQ(Enabled(dialog, IDC_COMBO_EV_CYCLE), r.cycle);
        EXPECT_EQ(Enabled(dialog, IDC_STATIC_EV_MIN), r.cycle);
        EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_EV_CYCLE), r.cycleSelection);
    });
}

// ---------------------------------------------------------------------------------------
// Restore rule

TEST(DialogLoadTest, RestoreOnGreysEveryScheduleAndEventControlKeepingItsValue) {
    Opening o;
    o.SetSchedule(1, 240);
    o.SetEvents(EVENT_FLAG_PROTECT_SYSTEM_FOLDER | EVENT_FLAG_SNAPSHOT_ON_INSTALL, 120);
    o.sandbox.UpdateEngine([](sim::EngineState& s) { s.snapshotSetting.bAutoRestore = 1; });
    HWND dialog = o.Open();
    ASSERT_NE(dialog, nullptr);
    for (int id :
         {IDC_CHECK_SCHEDULE, IDC_COMBO_SCHEDULE, IDC_STATIC_SC_MINUTES, IDC_CHECK_EV_SYSFOLDER,
          IDC_CHECK_EV_NEWPROGRAM, IDC_CHECK_EV_CYCLE, IDC_COMBO_EV_CYCLE, IDC_STATIC_EV_MIN}) {
        EXPECT_FALSE(Enabled(dialog, id)) << id;
    }
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_SCHEDULE));
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_SCHEDULE), 3);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_SYSFOLDER));
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_NEWPROGRAM));
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_CYCLE));
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_EV_CYCLE), 2);
    // Restore itself stays usable, and so do the notification options.
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_AR));
    EXPECT_TRUE(Enabled(dialog, IDC_CHECK_AR));
    EXPECT_TRUE(Enabled(dialog, IDC_COMBO_AR));
    EXPECT_TRUE(Enabled(dialog, IDC_CHECK_TRAYICON));
    EXPECT_TRUE(Enabled(dialog, IDC_CHECK_TOASTER));
    // Opening never enables Apply.
    EXPECT_FALSE(Enabled(dialog, IDC_BTN_APPLY));
}

TEST(DialogLoadTest, RestoreOffLeavesScheduleAndEventControlsEnabled) {
    Opening o;
    o.SetSchedule(1, 240);
    o.SetEvents(EVENT_FLAG_PROTECT_SYSTEM_FOLDER | EVENT_FLAG_SNAPSHOT_ON_INSTALL, 120);
    HWND dialog = o.Open();
    ASSERT_NE(dialog, nullptr);
    for (int id :
         {IDC_CHECK_SCHEDULE, IDC_COMBO_SCHEDULE, IDC_STATIC_SC_MINUTES, IDC_CHECK_EV_SYSFOLDER,
          IDC_CHECK_EV_NEWPROGRAM, IDC_COMBO_EV_CYCLE, IDC_STATIC_EV_MIN}) {
        EXPECT_TRUE(Enabled(dialog, id)) << id;
    }
    EXPECT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
    EXPECT_FALSE(Enabled(dialog, IDC_BTN_APPLY));
}

// ---------------------------------------------------------------------------------------
// A failing engine call

struct FailureRow {
    std::string name;
    std::string operation;
    DWORD code;
    bool logged;  // the password is not an error
    // A control that the load sets before the failing call, and one it would set after it.
    std::function<void(HWND)> setBefore;
    std::function<void(HWND)> notSetAfter;
};

void ExpectListsEmpty(HWND dialog) {
    EXPECT_TRUE(ComboItems(dialog, IDC_COMBO_SCHEDULE).empty());
    EXPECT_TRUE(ComboItems(dialog, IDC_COMBO_EV_CYCLE).empty());
}

TEST(DialogLoadTest, AFailingEngineCallLeavesWhatWasSetAndLogsItsCodeOnce) {
    const std::vector<FailureRow> rows = {
        {"ProductInfo", "GetProductInfo", 1117, true,
         [](HWND d) {
             // The layout before the load is complete.
             EXPECT_EQ(Text(d, IDC_CHECK_PROTECT), L"Turn on system protection");
         },
         [](HWND d) {
             EXPECT_EQ(Text(d), L"");
             EXPECT_EQ(Text(d, IDC_STATIC_SZ_SHOW), L"IDC_STATIC_SZ_SHOW");
             EXPECT_FALSE(Checked(d, IDC_CHECK_PROTECT));
         }},
        {"SpaceUsage", "GetSpaceUsage", 21, true,
         [](HWND d) { EXPECT_EQ(Text(d), L"Corvianex Shield Settings"); },
         [](HWND d) {
             EXPECT_EQ(Text(d, IDC_STATIC_SZ_SHOW), L"IDC_STATIC_SZ_SHOW");
             EXPECT_FALSE(Checked(d, IDC_CHECK_PROTECT));
         }},
        {"ProtectState", "GetProtectState", 5, true,
         [](HWND d) {
             EXPECT_EQ(Text(d, IDC_STATIC_SZ_SHOW),
                       L"Protected space: 1247.250 GB used of 3200.000 GB");
         },
         [](HWND d) {
             EXPECT_FALSE(Checked(d, IDC_CHECK_PROTECT));
             EXPECT_FALSE(Checked(d, IDC_CHECK_TOASTER));
             ExpectListsEmpty(d);
         }},
        {"SnapshotSetting", "GetSnapshotSetting", 31, true,
         [](HWND d) { EXPECT_TRUE(Checked(d, IDC_CHECK_PROTECT)); },
         [](HWND d) {
             EXPECT_FALSE(Checked(d, IDC_CHECK_TOASTER));
             EXPECT_FALSE(Checked(d, IDC_CHECK_TRAYICON));
             EXPECT_FALSE(Checked(d, IDC_PASSWORD));
             ExpectListsEmpty(d);
         }},
        {"EventMonitorSetting", "GetEventMonitorSetting", 1359, true,
         [](HWND d) {
             EXPECT_EQ(ComboItems(d, IDC_COMBO_SCHEDULE).size(), 7u);
             EXPECT_EQ(ComboSelection(d, IDC_COMBO_SCHEDULE), 2);
             EXPECT_TRUE(Checked(d, IDC_PASSWORD));
         },
         [](HWND d) {
             EXPECT_FALSE(Checked(d, IDC_CHECK_EV_SYSFOLDER));
             EXPECT_FALSE(Checked(d, IDC_CHECK_EV_CYCLE));
             EXPECT_TRUE(ComboItems(d, IDC_COMBO_EV_CYCLE).empty());
         }},
        // Not an error: the password box keeps its state and the load goes on.
        {"PassWord", "GetCvxPassWord", 13, false,
         [](HWND d) { EXPECT_TRUE(Checked(d, IDC_CHECK_TRAYICON)); },
         [](HWND d) {
             EXPECT_FALSE(Checked(d, IDC_PASSWORD));
             EXPECT_TRUE(Checked(d, IDC_CHECK_EV_SYSFOLDER));
             EXPECT_TRUE(Checked(d, IDC_CHECK_EV_CYCLE));
             EXPECT_EQ(ComboSelection(d, IDC_COMBO_EV_CYCLE), 0);
         }},
    };
    ForEachRow(rows, [](const FailureRow& r, Opening& o) {
        // A password and an event option, so that a control left at its template state
        // stands out.
        o.sandbox.UpdateEngine([](sim::EngineState& s) {
            s.password = "pw";
            s.eventMonitorSetting.wFlags = EVENT_FLAG_PROTECT_SYSTEM_FOLDER;
            s.eventMonitorSetting.wCycleMinutes = 30;
        });
        o.sandbox.FailEngine(r.operation, r.code);
        HWND dialog = o.Open();
        ASSERT_NE(dialog, nullptr);
        o.host->Settle();
        EXPECT_TRUE(::IsWindowVisible(dialog));
        r.setBefore(dialog);
        r.notSetAfter(dialog);

        const auto lines = o.sandbox.LogLines();
        if (r.logged) {
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_NE(lines[0].find(L"Error = " + std::to_wstring(r.code) + L" "),
                      std::wstring::npos)
                << std::string(lines[0].begin(), lines[0].end());
        } else {
            EXPECT_TRUE(lines.empty());
        }

        // The failing call was made once, with the forced result; after an error nothing
        // else reached the engine, and nothing was ever written.
        const auto journal = o.sandbox.Journal();
        const auto failed = std::count_if(journal.begin(), journal.end(), [&](const auto& e) {
            return e.operation == r.operation;
        });
        EXPECT_EQ(failed, 1);
        ASSERT_FALSE(journal.empty());
        if (r.logged) {
            EXPECT_EQ(journal.back().operation, r.operation);
            EXPECT_EQ(journal.back().result, r.code);
        }
        o.ExpectOnlyReads();
    });
}

}  // namespace
