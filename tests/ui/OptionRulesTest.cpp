// The option rules of the settings dialog as a user meets them by clicking: scheduled
// snapshots, event snapshots with their derived cycle, restore at start-up excluding both,
// and which changes arm the (hidden) Apply button.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "EngineRecords.h"
#include "HostProcess.h"
#include "Sandbox.h"
#include "Ui.h"
#include "resource.h"

using namespace testsupport;

namespace {

std::string SandboxName(const std::string& row = "") {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return test->name() + (row.empty() ? "" : "-" + row);
}

DWORD_PTR ButtonState(HWND button) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state;
}

class OptionRulesTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (host) host->Kill();
    }

    void Open() {
        host = std::make_unique<HostProcess>(sandbox);
        dialog = host->WaitForSettings();
        ASSERT_NE(dialog, nullptr);
    }

    void SetEngine(DWORD scheduleOn, WORD eventFlags, DWORD restoreOn) const {
        sandbox.UpdateEngine([=](sim::EngineState& s) {
            s.snapshotSetting.AutoCreate.bEnable = scheduleOn;
            s.snapshotSetting.AutoCreate.dwCycleMinutes = 120;
            s.eventMonitorSetting.wFlags = eventFlags;
            s.eventMonitorSetting.wCycleMinutes = 60;
            s.snapshotSetting.bAutoRestore = restoreOn;
        });
    }

    // Waits until the dialog's thread has handled everything posted to it so far: a marker
    // posted behind it (the pushed state of the never-shown Cancel button) tells when the
    // queue got there.
    void Flush() const {
        HWND marker = Control(dialog, IDC_BTN_CANCEL);
        ::PostMessageW(marker, BM_SETSTATE, TRUE, 0);
        // Polled closely: a click is handled within milliseconds, and runs have many.
        const ULONGLONG end = ::GetTickCount64() + 10000;
        while ((ButtonState(marker) & BST_PUSHED) == 0) {
            ASSERT_LT(::GetTickCount64(), end) << "the dialog stopped handling its messages";
            ::Sleep(2);
        }
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(marker, BM_SETSTATE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    }

    // A click as the platform makes it, and its handler has run.
    void ClickNow(int id) const {
        Click(dialog, id);
        Flush();
    }
    void SelectNow(int id, int index) const {
        SelectComboItem(dialog, id, index);
        Flush();
    }

    bool ApplyEnabled() const { return Enabled(dialog, IDC_BTN_APPLY); }

    // Checked and enabled states of several controls at once.
    void ExpectChecked(std::initializer_list<int> ids, bool checked) const {
        for (int id : ids)
            EXPECT_EQ(Checked(dialog, id), checked) << "check of " << id;
    }
    void ExpectEnabled(std::initializer_list<int> ids, bool enabled) const {
        for (int id : ids)
            EXPECT_EQ(Enabled(dialog, id), enabled) << "enabling of " << id;
    }

    Sandbox sandbox{SandboxName()};
    std::unique_ptr<HostProcess> host;
    HWND dialog = nullptr;
};

// ---------------------------------------------------------------------------------------
// Rule S: the schedule box

TEST_F(OptionRulesTest, ScheduleBoxEnablesItsListAndArmsApply) {
    SetEngine(1, EVENT_FLAG_PROTECT_SYSTEM_FOLDER, 0);
    Open();
    ASSERT_FALSE(ApplyEnabled());
    EXPECT_FALSE(Visible(dialog, IDC_BTN_APPLY));

    ClickNow(IDC_CHECK_SCHEDULE);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_SCHEDULE));
    EXPECT_FALSE(Enabled(dialog, IDC_COMBO_SCHEDULE));
    // The unit label is not the schedule rule's.
    EXPECT_TRUE(Enabled(dialog, IDC_STATIC_SC_MINUTES));
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_FALSE(Visible(dialog, IDC_BTN_APPLY));

    ClickNow(IDC_CHECK_SCHEDULE);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_SCHEDULE));
    EXPECT_TRUE(Enabled(dialog, IDC_COMBO_SCHEDULE));
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_SCHEDULE), 2);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_AR));
    EXPECT_TRUE(Enabled(dialog, IDC_CHECK_AR));
    // The event options are not touched.
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_SYSFOLDER));
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_CYCLE));
}

// ---------------------------------------------------------------------------------------
// Rule E: the event options decide the cycle

TEST_F(OptionRulesTest, EventOptionsDecideTheCycle) {
    SetEngine(0, 0, 0);
    Open();
    ExpectChecked({IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM, IDC_CHECK_EV_CYCLE}, false);
    ASSERT_FALSE(ApplyEnabled());

    // System folder on while new program is off: the cycle comes on, greyed.
    ClickNow(IDC_CHECK_EV_SYSFOLDER);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_SYSFOLDER));
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_CYCLE));
    EXPECT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
    ExpectEnabled({IDC_COMBO_EV_CYCLE, IDC_STATIC_EV_MIN}, true);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_AR));
    EXPECT_TRUE(ApplyEnabled());

    ClickNow(IDC_CHECK_EV_NEWPROGRAM);
    ExpectChecked({IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM, IDC_CHECK_EV_CYCLE}, true);

    // System folder off while new program is still on: the cycle stays on.
    ClickNow(IDC_CHECK_EV_SYSFOLDER);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_EV_SYSFOLDER));
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_CYCLE));
    EXPECT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
    ExpectEnabled({IDC_COMBO_EV_CYCLE, IDC_STATIC_EV_MIN}, true);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_AR));

    // Both off: the cycle goes off with its list and label; restore is left as it was.
    ClickNow(IDC_CHECK_EV_NEWPROGRAM);
    ExpectChecked({IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM, IDC_CHECK_EV_CYCLE}, false);
    EXPECT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
    ExpectEnabled({IDC_COMBO_EV_CYCLE, IDC_STATIC_EV_MIN}, false);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_AR));
    EXPECT_TRUE(Enabled(dialog, IDC_CHECK_AR));
    // The stored period stays selected through all of it.
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_EV_CYCLE), 1);
    // The schedule is not the event rule's.
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_SCHEDULE));
    EXPECT_FALSE(Enabled(dialog, IDC_COMBO_SCHEDULE));
}

// ---------------------------------------------------------------------------------------
// Rule A: restore at start-up excludes the snapshot options

TEST_F(OptionRulesTest, CheckingRestoreClearsAndGreysEverySnapshotOption) {
    SetEngine(1, EVENT_FLAG_PROTECT_SYSTEM_FOLDER | EVENT_FLAG_SNAPSHOT_ON_INSTALL, 0);
    Open();
    SelectNow(IDC_COMBO_AR, 1);
    ASSERT_FALSE(ApplyEnabled());

    ClickNow(IDC_CHECK_AR);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_AR));
    const std::initializer_list<int> options = {IDC_CHECK_SCHEDULE, IDC_CHECK_EV_SYSFOLDER,
                                                IDC_CHECK_EV_NEWPROGRAM, IDC_CHECK_EV_CYCLE};
    ExpectChecked(options, false);
    ExpectEnabled(options, false);
    ExpectEnabled(
        {IDC_COMBO_SCHEDULE, IDC_STATIC_SC_MINUTES, IDC_COMBO_EV_CYCLE, IDC_STATIC_EV_MIN}, false);
    // The restore controls themselves are left alone, and Apply is not armed.
    ExpectEnabled({IDC_CHECK_AR, IDC_COMBO_AR, IDC_STATIC_TOTHELATEST}, true);
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_AR), 1);
    EXPECT_FALSE(ApplyEnabled());

    // Clearing it turns every snapshot option on; the cycle stays greyed.
    ClickNow(IDC_CHECK_AR);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_AR));
    ExpectChecked(options, true);
    ExpectEnabled(
        {IDC_CHECK_SCHEDULE, IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM, IDC_COMBO_SCHEDULE,
         IDC_STATIC_SC_MINUTES, IDC_COMBO_EV_CYCLE, IDC_STATIC_EV_MIN},
        true);
    EXPECT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_AR), 1);
    EXPECT_FALSE(ApplyEnabled());
}

TEST_F(OptionRulesTest, ClearingLoadedRestoreTurnsEveryOptionOnFromAllOff) {
    SetEngine(0, 0, 1);
    Open();
    ASSERT_TRUE(Checked(dialog, IDC_CHECK_AR));
    ClickNow(IDC_CHECK_AR);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_AR));
    ExpectChecked(
        {IDC_CHECK_SCHEDULE, IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM, IDC_CHECK_EV_CYCLE},
        true);
    ExpectEnabled(
        {IDC_CHECK_SCHEDULE, IDC_COMBO_SCHEDULE, IDC_STATIC_SC_MINUTES, IDC_CHECK_EV_SYSFOLDER,
         IDC_CHECK_EV_NEWPROGRAM, IDC_COMBO_EV_CYCLE, IDC_STATIC_EV_MIN},
        true);
    EXPECT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
    EXPECT_FALSE(ApplyEnabled());
}

// ---------------------------------------------------------------------------------------
// Apply

TEST_F(OptionRulesTest, CycleRestoreChoiceAndRestoreLeaveApplyDisarmed) {
    SetEngine(1, EVENT_FLAG_PROTECT_SYSTEM_FOLDER, 0);
    Open();
    SelectNow(IDC_COMBO_EV_CYCLE, 3);
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_EV_CYCLE), 3);
    SelectNow(IDC_COMBO_AR, 1);
    ClickNow(IDC_CHECK_AR);
    ClickNow(IDC_CHECK_AR);
    EXPECT_FALSE(ApplyEnabled());
    // Nothing here asked the engine for a change.
    for (const auto& call : sandbox.Calls())
        EXPECT_EQ(call.rfind("Get", 0), 0u) << call;
}

struct ApplyRow {
    std::string name;
    int id;
    bool select;  // a selection change rather than a click
};

TEST(OptionRulesApplyTest, EachOptionChangeArmsApply) {
    const std::vector<ApplyRow> rows = {
        {"Schedule", IDC_CHECK_SCHEDULE, false},
        {"SystemFolder", IDC_CHECK_EV_SYSFOLDER, false},
        {"NewProgram", IDC_CHECK_EV_NEWPROGRAM, false},
        {"Tray", IDC_CHECK_TRAYICON, false},
        {"Toaster", IDC_CHECK_TOASTER, false},
        {"SchedulePeriod", IDC_COMBO_SCHEDULE, true},
    };
    for (const ApplyRow& row : rows) {
        SCOPED_TRACE(row.name);
        Sandbox sandbox(SandboxName(row.name));
        HostProcess host(sandbox);
        HWND dialog = host.WaitForSettings();
        ASSERT_NE(dialog, nullptr);
        ASSERT_FALSE(Enabled(dialog, IDC_BTN_APPLY));
        if (row.select) {
            SelectComboItem(dialog, row.id, 4);
        } else {
            Click(dialog, row.id);
        }
        EXPECT_TRUE(WaitUntil([&] { return Enabled(dialog, IDC_BTN_APPLY); }, 5000));
        EXPECT_FALSE(Visible(dialog, IDC_BTN_APPLY));
        host.Kill();
    }
}

// ---------------------------------------------------------------------------------------
// Invariants under a long run of clicks

struct Action {
    int id;
    int select = -1;  // entry to select, or -1 for a click
};

TEST_F(OptionRulesTest, InvariantsHoldThroughARandomRunOfClicks) {
    SetEngine(1, EVENT_FLAG_PROTECT_SYSTEM_FOLDER, 0);
    Open();
    const int clickable[] = {IDC_CHECK_SCHEDULE, IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM,
                             IDC_CHECK_AR,       IDC_CHECK_TRAYICON,     IDC_CHECK_TOASTER};
    const int lists[] = {IDC_COMBO_SCHEDULE, IDC_COMBO_EV_CYCLE, IDC_COMBO_AR};
    const int armsApply[] = {IDC_CHECK_SCHEDULE, IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM,
                             IDC_CHECK_TRAYICON, IDC_CHECK_TOASTER,      IDC_COMBO_SCHEDULE};

    // The lists never change their entries; only whether they can be used.
    std::vector<std::pair<int, int>> listSizes;
    for (int id : lists)
        listSizes.emplace_back(id, static_cast<int>(ComboItems(dialog, id).size()));

    std::mt19937 random(20240611);
    bool applyArmed = false;
    std::string history;
    // How often the run stood in each kind of state: it must have seen them all.
    int restoreSteps = 0, cycleSteps = 0, noEventSteps = 0, scheduleOffSteps = 0;
    for (int step = 0; step < 150; ++step) {
        // What a user could do now: click an enabled box or pick in an enabled list.
        std::vector<Action> possible;
        for (int id : clickable) {
            if (Enabled(dialog, id)) possible.push_back({id});
        }
        for (int id : lists) {
            const int count = static_cast<int>(ComboItems(dialog, id).size());
            for (int i = 0; Enabled(dialog, id) && i < count; ++i)
                possible.push_back({id, i});
        }
        ASSERT_FALSE(possible.empty());
        const Action action = possible[random() % possible.size()];
        history += " " + std::to_string(action.id) +
                   (action.select >= 0 ? "=" + std::to_string(action.select) : "");
        SCOPED_TRACE("step " + std::to_string(step) + ":" + history);
        if (action.select >= 0) {
            SelectNow(action.id, action.select);
        } else {
            ClickNow(action.id);
        }
        for (int id : armsApply)
            applyArmed = applyArmed || id == action.id;

        const bool schedule = Checked(dialog, IDC_CHECK_SCHEDULE);
        const bool systemFolder = Checked(dialog, IDC_CHECK_EV_SYSFOLDER);
        const bool newProgram = Checked(dialog, IDC_CHECK_EV_NEWPROGRAM);
        const bool cycle = Checked(dialog, IDC_CHECK_EV_CYCLE);
        const bool restore = Checked(dialog, IDC_CHECK_AR);
        ASSERT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
        ASSERT_EQ(cycle, systemFolder || newProgram);
        ASSERT_EQ(Enabled(dialog, IDC_COMBO_EV_CYCLE), cycle);
        ASSERT_EQ(Enabled(dialog, IDC_STATIC_EV_MIN), cycle);
        ASSERT_EQ(Enabled(dialog, IDC_COMBO_SCHEDULE), schedule);
        if (restore) {
            ASSERT_FALSE(schedule || systemFolder || newProgram || cycle);
        }
        ASSERT_TRUE(Enabled(dialog, IDC_CHECK_AR));
        ASSERT_EQ(ApplyEnabled(), applyArmed);
        restoreSteps += restore ? 1 : 0;
        cycleSteps += cycle ? 1 : 0;
        noEventSteps += !restore && !cycle ? 1 : 0;
        scheduleOffSteps += !restore && !schedule ? 1 : 0;
    }
    EXPECT_GT(restoreSteps, 0);
    EXPECT_GT(cycleSteps, 0);
    EXPECT_GT(noEventSteps, 0);
    EXPECT_GT(scheduleOffSteps, 0);
    ASSERT_TRUE(host->Running());
    for (const auto& call : sandbox.Calls())
        EXPECT_EQ(call.rfind("Get", 0), 0u) << call;
    EXPECT_TRUE(sandbox.LogLines().empty());
}

}  // namespace
