// The option rules as a user meets them by clicking: the schedule box and its list, the event
// options deciding the cycle, restore at start-up excluding every snapshot option, and which
// changes arm the hidden Apply button. Then long random runs of clicks that must keep the
// rules' invariants.
#include <iterator>
#include <random>
#include <set>

#include "ModelWorld.h"

using namespace modeltest;

namespace {

struct Step {
    const char* actions;
    const char* options;  // after the actions
};

struct RuleRow {
    const char* name;
    const char* engine;
    std::vector<Step> steps;
};

// clang-format off
const RuleRow kRows[] = {
    {"ScheduleBoxEnablesItsList", "schedule=1@120 events=1@60", {
        {"", "apply=greyed"},
        // The unit label is not the schedule rule's.
        {"click schedule", "schedule=off scheduleList=greyed scheduleUnit=enabled apply=enabled"},
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
    // Clearing both event options leaves restore as it was.
    {"EventsOffLeaveRestore", "schedule=0@120 events=1@60 restore=0", {
        {"click systemFolder", "cycle=off restore=off"}}},
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
    {"ScheduleArmsApply", "", {{"click schedule", "apply=enabled"}}},
    {"SystemFolderArmsApply", "", {{"click systemFolder", "apply=enabled"}}},
    {"NewProgramArmsApply", "", {{"click newProgram", "apply=enabled"}}},
    {"TrayArmsApply", "", {{"click tray", "apply=enabled"}}},
    {"ToasterArmsApply", "", {{"click toaster", "apply=enabled"}}},
    {"SchedulePeriodArmsApply", "", {{"select scheduleList 4", "apply=enabled"}}},
};
// clang-format on

settings::Options Loaded(const char* engine) {
    World world(engine);
    Configuration config;
    settings::Options options = MadeOptions(config);
    settings::Texts texts;
    settings::Load(world, &config, options, texts);
    return options;
}

TEST(RulesModelTest, EachClickFollowsTheRules) {
    for (const RuleRow& row : kRows) {
        SCOPED_TRACE(row.name);
        settings::Options options = Loaded(row.engine);
        for (const Step& step : row.steps) {
            SCOPED_TRACE(step.actions);
            Act(options, step.actions);
            ExpectOptions(options, step.options);
        }
    }
}

// Checking the schedule clears restore at start-up: a state no click reaches in the dialog
// (restore greys the schedule box), so the rule is given it directly.
TEST(RulesModelTest, CheckingTheScheduleClearsRestore) {
    settings::Options options = Loaded("schedule=0@120 restore=1");
    options.schedule = {true, true};
    settings::ScheduleClicked(options);
    ExpectOptions(options, "restore=off,enabled schedule=on scheduleList=enabled apply=enabled");
}

// The protection switch takes the restore controls with it, whatever restore shows.
TEST(RulesModelTest, TheProtectionSwitchTakesTheRestoreControlsWithIt) {
    for (const bool on : {false, true}) {
        settings::Options options = Loaded(on ? "protect=0 restore=1" : "protect=1 restore=1");
        settings::ProtectionSwitched(options, on);
        const char* state = on ? "enabled" : "greyed";
        ExpectOptions(options, std::string("restore=on,") + state + " restoreList=" + state +
                                   " toTheLatest=" + state);
    }
}

// Whatever the user clicks, in any order: the cycle follows the event options and is never
// enabled, each list follows its box, restore excludes every snapshot option, and Apply is
// armed exactly from the first change that arms it.
TEST(RulesModelTest, InvariantsHoldThroughRandomRunsOfClicks) {
    const char* const kControls[] = {"schedule", "systemFolder", "newProgram", "restore",    "tray",
                                     "toaster",  "scheduleList", "cycleList",  "restoreList"};
    const std::set<std::string> kArmsApply = {"schedule", "systemFolder", "newProgram",
                                              "tray",     "toaster",      "scheduleList"};
    const char* const kEngines[] = {"schedule=1@120 events=1@60",
                                    "restore=1 schedule=0@120 events=0@60",
                                    "schedule=0@15 events=0@30 protect=0"};
    std::mt19937 random(20240611);
    int restoreSteps = 0, cycleSteps = 0, noEventSteps = 0, scheduleOffSteps = 0;
    for (const char* engine : kEngines) {
        settings::Options o = Loaded(engine);
        bool applyArmed = false;
        std::string history;
        for (int step = 0; step < 2000; ++step) {
            const std::string name = kControls[random() % std::size(kControls)];
            const bool list = name.find("List") != std::string::npos;
            const std::string action =
                list ? "select " + name + " " + std::to_string(random() % 7) : "click " + name;
            const bool enabled =
                list ? (name == "scheduleList" ? o.schedulePeriods.enabled
                        : name == "cycleList"  ? o.cyclePeriods.enabled
                                               : o.restoreChoices.enabled)
                     : true;  // a greyed box takes no click: checked below through the state
            history += ", " + action;
            SCOPED_TRACE(std::string(engine) + history);
            const settings::Options before = o;
            Act(o, action);
            const bool boxTookIt =
                !list && (o.schedule.checked != before.schedule.checked ||
                          o.systemFolder.checked != before.systemFolder.checked ||
                          o.newProgram.checked != before.newProgram.checked ||
                          o.restore.checked != before.restore.checked ||
                          o.tray.checked != before.tray.checked ||
                          o.toaster.checked != before.toaster.checked);
            if (kArmsApply.count(name) && (list ? enabled : boxTookIt)) applyArmed = true;

            const bool events = o.systemFolder.checked || o.newProgram.checked;
            ASSERT_FALSE(o.cycle.enabled);
            ASSERT_EQ(o.cycle.checked, events);
            ASSERT_EQ(o.cyclePeriods.enabled, events);
            ASSERT_EQ(o.cycleUnitEnabled, events);
            ASSERT_EQ(o.schedulePeriods.enabled, o.schedule.checked);
            if (o.restore.checked) {
                ASSERT_FALSE(o.schedule.checked || events);
            }
            ASSERT_TRUE(o.restore.enabled ||
                        std::string(engine).find("protect=0") != std::string::npos);
            ASSERT_EQ(o.applyEnabled, applyArmed);
            restoreSteps += o.restore.checked;
            cycleSteps += o.cycle.checked;
            noEventSteps += !o.restore.checked && !o.cycle.checked;
            scheduleOffSteps += !o.restore.checked && !o.schedule.checked;
        }
    }
    // The runs must have seen every kind of state.
    EXPECT_GT(restoreSteps, 0);
    EXPECT_GT(cycleSteps, 0);
    EXPECT_GT(noEventSteps, 0);
    EXPECT_GT(scheduleOffSteps, 0);
}

}  // namespace
