// The option rules as a user meets them by clicking: the schedule box and its list, the event
// options deciding the cycle, restore at start-up excluding every snapshot option, and which
// changes arm the hidden Apply button. Then a long random run of clicks that must keep the
// rules' invariants.
#include <random>

#include "Session.h"

using namespace testsupport;

namespace {

struct Step {
    const char* actions;
    const char* controls;  // after the actions
};

struct RuleRow {
    const char* name;
    const char* engine;
    std::vector<Step> steps;
};

// clang-format off
const RuleRow kRows[] = {
    {"ScheduleBoxEnablesItsList", "schedule=1@120 events=1@60", {
        {"", "apply=greyed,hidden"},
        // The unit label is not the schedule rule's.
        {"click schedule", "schedule=off scheduleList=greyed scheduleUnit=enabled apply=enabled,hidden"},
        // Checking it leaves the event options alone.
        {"click schedule", "schedule=on scheduleList=enabled,#2 restore=off,enabled systemFolder=on cycle=on"}}},
    {"EventOptionsDecideTheCycle", "schedule=0@120 events=0@60", {
        {"", "systemFolder=off newProgram=off cycle=off apply=greyed"},
        // One option on: the cycle comes on, greyed; restore is cleared.
        {"click systemFolder", "systemFolder=on cycle=on,greyed cycleList=enabled cycleUnit=enabled restore=off apply=enabled"},
        {"click newProgram", "systemFolder=on newProgram=on cycle=on"},
        // One still on: the cycle stays on.
        {"click systemFolder", "systemFolder=off newProgram=on cycle=on,greyed cycleList=enabled"},
        // Both off: the cycle goes with its list and label; the period stays selected.
        {"click newProgram", "newProgram=off cycle=off,greyed cycleList=greyed,#1 cycleUnit=greyed restore=off,enabled schedule=off scheduleList=greyed"}}},
    {"RestoreExcludesEverySnapshotOption", "schedule=1@120 events=3@60", {
        {"select restoreList 1", "apply=greyed"},
        {"click restore", "restore=on schedule=off,greyed systemFolder=off,greyed newProgram=off,greyed cycle=off,greyed "
                          "scheduleList=greyed scheduleUnit=greyed cycleList=greyed cycleUnit=greyed restoreList=enabled,#1 toTheLatest=enabled apply=greyed"},
        // Clearing it turns every snapshot option on; the cycle stays greyed.
        {"click restore", "restore=off schedule=on,enabled systemFolder=on,enabled newProgram=on,enabled cycle=on,greyed "
                          "scheduleList=enabled scheduleUnit=enabled cycleList=enabled cycleUnit=enabled restoreList=#1 apply=greyed"}}},
    {"ClearingLoadedRestoreTurnsEverythingOn", "schedule=0@120 events=0@60 restore=1", {
        {"click restore", "restore=off schedule=on,enabled systemFolder=on newProgram=on cycle=on,greyed cycleList=enabled cycleUnit=enabled apply=greyed"}}},
    // Changes that arm Apply, and the ones that do not.
    {"ListsAndRestoreLeaveApplyDisarmed", "schedule=1@120 events=1@60", {
        {"select cycleList 3, select restoreList 1, click restore, click restore", "cycleList=#3 apply=greyed"}}},
    {"ScheduleArmsApply", "", {{"click schedule", "apply=enabled,hidden"}}},
    {"SystemFolderArmsApply", "", {{"click systemFolder", "apply=enabled"}}},
    {"NewProgramArmsApply", "", {{"click newProgram", "apply=enabled"}}},
    {"TrayArmsApply", "", {{"click tray", "apply=enabled"}}},
    {"ToasterArmsApply", "", {{"click toaster", "apply=enabled"}}},
    {"SchedulePeriodArmsApply", "", {{"select scheduleList 4", "apply=enabled"}}},
};
// clang-format on

TEST(OptionRulesTest, EachClickFollowsTheRules) {
    Session session;
    for (const RuleRow& row : kRows) {
        SCOPED_TRACE(row.name);
        HWND dialog = session.Open(row.engine);
        ASSERT_NE(dialog, nullptr);
        for (const Step& step : row.steps) {
            SCOPED_TRACE(step.actions);
            Act(dialog, step.actions);
            ExpectControls(dialog, step.controls);
        }
        session.ExpectOnlyReads();
        session.Close(dialog);
    }
}

TEST(OptionRulesTest, InvariantsHoldThroughARandomRunOfClicks) {
    Session session;
    HWND dialog = session.Open("schedule=1@120 events=1@60");
    ASSERT_NE(dialog, nullptr);
    const int boxes[] = {IDC_CHECK_SCHEDULE, IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM,
                         IDC_CHECK_AR,       IDC_CHECK_TRAYICON,     IDC_CHECK_TOASTER};
    const int lists[] = {IDC_COMBO_SCHEDULE, IDC_COMBO_EV_CYCLE, IDC_COMBO_AR};
    const int armsApply[] = {IDC_CHECK_SCHEDULE, IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM,
                             IDC_CHECK_TRAYICON, IDC_CHECK_TOASTER,      IDC_COMBO_SCHEDULE};
    std::mt19937 random(20240611);
    bool applyArmed = false;
    std::string history;
    int restoreSteps = 0, cycleSteps = 0, noEventSteps = 0, scheduleOffSteps = 0;
    for (int step = 0; step < 150; ++step) {
        // What a user could do now: click an enabled box or pick in an enabled list.
        std::vector<std::pair<int, int>> possible;  // id, entry to select (-1: a click)
        for (int id : boxes) {
            if (Enabled(dialog, id)) possible.emplace_back(id, -1);
        }
        for (int id : lists) {
            const int count =
                Enabled(dialog, id) ? static_cast<int>(ComboItems(dialog, id).size()) : 0;
            for (int i = 0; i < count; ++i)
                possible.emplace_back(id, i);
        }
        ASSERT_FALSE(possible.empty());
        const auto [id, entry] = possible[random() % possible.size()];
        history += " " + std::to_string(id) + (entry >= 0 ? "=" + std::to_string(entry) : "");
        SCOPED_TRACE("step " + std::to_string(step) + ":" + history);
        if (entry >= 0) {
            SelectComboItem(dialog, id, entry);
        } else {
            Click(dialog, id);
        }
        Flush(dialog);
        for (int arming : armsApply)
            applyArmed = applyArmed || arming == id;

        const bool schedule = Checked(dialog, IDC_CHECK_SCHEDULE);
        const bool events =
            Checked(dialog, IDC_CHECK_EV_SYSFOLDER) || Checked(dialog, IDC_CHECK_EV_NEWPROGRAM);
        const bool cycle = Checked(dialog, IDC_CHECK_EV_CYCLE);
        const bool restore = Checked(dialog, IDC_CHECK_AR);
        ASSERT_FALSE(Enabled(dialog, IDC_CHECK_EV_CYCLE));
        ASSERT_EQ(cycle, events);
        ASSERT_EQ(Enabled(dialog, IDC_COMBO_EV_CYCLE), cycle);
        ASSERT_EQ(Enabled(dialog, IDC_STATIC_EV_MIN), cycle);
        ASSERT_EQ(Enabled(dialog, IDC_COMBO_SCHEDULE), schedule);
        if (restore) {
            ASSERT_FALSE(schedule || events);
        }
        ASSERT_TRUE(Enabled(dialog, IDC_CHECK_AR));
        ASSERT_EQ(Enabled(dialog, IDC_BTN_APPLY), applyArmed);
        restoreSteps += restore;
        cycleSteps += cycle;
        noEventSteps += !restore && !cycle;
        scheduleOffSteps += !restore && !schedule;
    }
    // The run must have seen every kind of state.
    EXPECT_GT(restoreSteps, 0);
    EXPECT_GT(cycleSteps, 0);
    EXPECT_GT(noEventSteps, 0);
    EXPECT_GT(scheduleOffSteps, 0);
    session.ExpectOnlyReads();
    session.ExpectLog({});
    session.Close(dialog);
}

}  // namespace
