// The option rules as a user meets them by clicking in the dialog: each box and list runs its
// rule of the settings model, and the controls show the result (the schedule box and its
// list, the event options deciding the cycle, restore at start-up excluding every snapshot
// option, the changes that arm the hidden Apply button). The rules themselves, with long
// random runs of clicks, are the model's native tables (tests/model).
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
    // Changes that arm Apply, and the ones that do not.
    {"ListsAndRestoreLeaveApplyDisarmed", "schedule=1@120 events=1@60", {
        {"select cycleList 3, select restoreList 1, click restore, click restore", "cycleList=#3 apply=greyed"}}},
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

}  // namespace
