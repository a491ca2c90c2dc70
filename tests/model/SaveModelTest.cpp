// Saving, in the model: the records the engine receives for what the user chose, the order of
// the engine's and the helpers' calls, the traces, and what a failing step leaves written.
// Each row loads the engine's settings, does the user's actions and saves.
#include <cstring>
#include <iterator>

#include "ModelWorld.h"

using namespace modeltest;

namespace {

struct SaveRow {
    const char* name;
    const char* engine;  // "tray=0" unless the row is about the tray
    const char* actions;
    // Fields of the records sent: enable, minutes, suppress, tray, restore, choice (the
    // settings), flags, cycle (the event settings).
    const char* saved;
    const char* calls;  // after the reads "GetProtectState GetSnapshotSetting", joined by ", "
    const wchar_t* trace = nullptr;  // a trace the save writes
    const char* failing = "";        // the engine call made to fail (with 4321)
};

const char* const kRestoreOff = "GreyRestoreChoices, CancelRestore, ApplyTray off";
const char* const kWrites = "SetSnapshotSetting, SetEventMonitorSetting";

// clang-format off
const SaveRow kRows[] = {
    // Event flags follow the boxes; the cycle's period (30) goes with them.
    {"SystemFolderOn", "tray=0 events=0@30", "click systemFolder", "flags=1 cycle=30", "GreyRestoreChoices, CancelRestore, ApplyTray off, SetSnapshotSetting, SetEventMonitorSetting"},
    {"NewProgramOn", "tray=0 events=0@30", "click newProgram", "flags=2 cycle=30", ""},
    {"SystemFolderOff", "tray=0 events=3@30", "click systemFolder", "flags=2 cycle=30", ""},
    {"BothOff", "tray=0 events=3@30", "click systemFolder, click newProgram", "flags=0 cycle=0", ""},
    {"ForeignBitsDropped", "tray=0 events=0xFFFC@30", "click newProgram", "flags=2 cycle=30", ""},
    // The cycle's period from its list.
    {"CycleFirstEntry", "tray=0 events=1@120", "select cycleList 0", "flags=1 cycle=30", ""},
    {"CycleFourHours", "tray=0 events=1@30", "select cycleList 3", "flags=1 cycle=240", ""},
    {"CycleDay", "tray=0 events=2@30", "select cycleList 6", "flags=2 cycle=1440", ""},
    {"CycleNothingSelected", "tray=0 events=1@45", "", "flags=1 cycle=0", ""},
    {"CycleOff", "tray=0 events=1@60", "click systemFolder", "flags=0 cycle=0", ""},
    // The schedule's minutes from its list.
    {"ScheduleFirstEntry", "tray=0 schedule=1@120", "select scheduleList 0", "enable=1 minutes=15", "",
     L"save dwCycleMinutes:15.000000, iValue:0.250000, strTemp:TIME_0, lpSetting->AutoCreate.dwCycleMinutes:15"},
    {"ScheduleTwoHours", "tray=0 schedule=1@15", "select scheduleList 2", "enable=1 minutes=120", "",
     L"save dwCycleMinutes:120.000000, iValue:2.000000, strTemp:TIME_2, lpSetting->AutoCreate.dwCycleMinutes:120"},
    {"ScheduleDay", "tray=0 schedule=1@60", "select scheduleList 6", "enable=1 minutes=1440", ""},
    {"ScheduleNothingSelected", "tray=0 schedule=1@45", "", "enable=1 minutes=0", "",
     L"save dwCycleMinutes:0.000000, iValue:0.000000, strTemp:TIME_-1, lpSetting->AutoCreate.dwCycleMinutes:0"},
    {"ScheduleOff", "tray=0 schedule=1@120", "click schedule", "enable=0 minutes=0", ""},
    {"ScheduleOn", "tray=0 schedule=0@240", "click schedule", "enable=1 minutes=240", ""},
    // Notifications.
    {"ToasterOff", "tray=0 toaster=1", "click toaster", "suppress=1 tray=0", ""},
    {"ToasterOn", "tray=0 toaster=0", "click toaster", "suppress=0 tray=0", ""},
    {"TrayOff", "tray=1 toaster=1", "click tray", "suppress=0 tray=0", ""},
    {"TrayOn", "tray=0", "click tray", "tray=1", "GreyRestoreChoices, CancelRestore, ApplyTray on, SetSnapshotSetting, SetEventMonitorSetting"},
    // Restore at start-up: armed with the list's entry before the records go; the first entry
    // is choice 1, the second choice 0.
    {"RestoreFirstChoice", "tray=0 restore=1 choice=1", "", "restore=1 choice=1", "ArmRestore 0, ApplyTray off, SetSnapshotSetting, SetEventMonitorSetting",
     L"SetRestore result: 0, line:"},
    {"RestoreSecondChoice", "tray=0 restore=1 choice=0", "", "restore=1 choice=0", "ArmRestore 1, ApplyTray off, SetSnapshotSetting, SetEventMonitorSetting"},
    {"RestoreChosenNow", "tray=0 events=0@30 schedule=0@120", "click restore, select restoreList 1", "restore=1 choice=0 enable=0 flags=0 cycle=0", "ArmRestore 1, ApplyTray off, SetSnapshotSetting, SetEventMonitorSetting"},
    // Off: cancelled (the list greyed at once) before the tray and the records.
    {"RestoreOff", "tray=0 restore=1", "click restore", "restore=0 choice=1 enable=1 minutes=120 flags=3 cycle=30", "",
     L"DelRestore result: 0, line:"},
    // A failing step ends the save there; what went before stays written.
    {"ProtectStateFails", "tray=0", "click toaster", "", "", nullptr, "GetProtectState"},
    {"SnapshotSettingReadFails", "tray=0", "click toaster", "", "", nullptr, "GetSnapshotSetting"},
    {"SnapshotSettingWriteFails", "tray=0", "click toaster", "", "GreyRestoreChoices, CancelRestore, ApplyTray off, SetSnapshotSetting", nullptr, "SetSnapshotSetting"},
    {"EventSettingWriteFails", "tray=0", "click toaster", "suppress=1", "", L"Dunmore:SetEventMonitorSetting ret:4321", "SetEventMonitorSetting"},
};
// clang-format on

struct Saved {
    World world{""};
    std::optional<settings::Failure> failure;
};

Saved SaveWith(const SaveRow& row) {
    Saved saved{World(row.engine), std::nullopt};
    Configuration config;
    settings::Options options = MadeOptions(config);
    settings::Texts texts;
    EXPECT_FALSE(settings::Load(saved.world, &config, options, texts).has_value());
    Act(options, row.actions);
    saved.world.calls.clear();
    saved.world.traces.clear();
    if (*row.failing) saved.world.state.failures[row.failing] = 4321;
    saved.failure = settings::Save(saved.world, config, settings::ChoicesOf(options));
    return saved;
}

void ExpectSaved(const World& world, const std::string& claims) {
    if (claims.empty()) return;
    ASSERT_FALSE(world.snapshotsWritten.empty());
    testsupport::ExpectRecordsWritten(
        world.snapshotsWritten.back(),
        world.eventsWritten.empty() ? nullptr : &world.eventsWritten.back(), claims);
}

std::string Joined(const std::vector<std::string>& calls) {
    std::string text;
    for (const std::string& call : calls)
        text += (text.empty() ? "" : ", ") + call;
    return text;
}

TEST(SaveModelTest, EachRowSavesWhatTheUserChose) {
    for (const SaveRow& row : kRows) {
        SCOPED_TRACE(row.name);
        const Saved saved = SaveWith(row);
        ExpectSaved(saved.world, row.saved);
        // The calls in order, up to a failing one.
        std::string calls = "GetProtectState, GetSnapshotSetting, ";
        calls += *row.calls ? row.calls : std::string(kRestoreOff) + ", " + kWrites;
        if (*row.failing && calls.find(row.failing) != std::string::npos)
            calls = calls.substr(0, calls.find(row.failing) + std::strlen(row.failing));
        EXPECT_EQ(Joined(saved.world.calls), calls);
        EXPECT_EQ(saved.failure.has_value(), *row.failing != '\0');
        if (saved.failure) {
            EXPECT_EQ(saved.failure->code, 4321);
        }
        if (row.trace) {
            EXPECT_TRUE(saved.world.Traced(row.trace));
        }
    }
}

// An untouched dialog writes the records back: only its own fields change, the bytes it does
// not own come back as the engine gave them; the event settings go whole, with only the flags
// and the period the dialog shows.
TEST(SaveModelTest, AnUntouchedDialogKeepsTheEnginesOtherBytes) {
    World world("tray=0");
    SNAPSHOT_SETTING& patterned = world.state.snapshotSetting;
    auto* bytes = reinterpret_cast<BYTE*>(&patterned);
    for (size_t i = 0; i < sizeof patterned; ++i)
        bytes[i] = static_cast<BYTE>(0x81 + i * 37 % 120);
    patterned.cbSize = SNAPSHOT_SETTING_SIZE;
    patterned.AutoCreate.bEnable = 1;
    patterned.AutoCreate.bSuppressToaster = 0;
    patterned.AutoCreate.dwCycleMinutes = 120;
    patterned.bShowTrayIcon = 0;
    patterned.bAutoRestore = 0;
    patterned.dwRestoreChoice = 1;
    const SNAPSHOT_SETTING expected = patterned;
    std::memset(&world.state.eventMonitorSetting, 0x5A, sizeof world.state.eventMonitorSetting);
    world.state.eventMonitorSetting.cbSize = EVENT_MONITOR_SETTING_SIZE;
    world.state.eventMonitorSetting.wFlags = 0xFFF1;  // system folder on, foreign bits set
    world.state.eventMonitorSetting.wCycleMinutes = 60;

    Configuration config;
    settings::Options options = MadeOptions(config);
    settings::Texts texts;
    settings::Load(world, &config, options, texts);
    EXPECT_FALSE(settings::Save(world, config, settings::ChoicesOf(options)).has_value());
    ASSERT_EQ(world.snapshotsWritten.size(), 1u);
    EXPECT_EQ(std::memcmp(&world.snapshotsWritten[0], &expected, sizeof expected), 0);
    EVENT_MONITOR_SETTING events{};
    events.cbSize = EVENT_MONITOR_SETTING_SIZE;
    events.wFlags = 0x0001;
    events.wCycleMinutes = 60;
    ASSERT_EQ(world.eventsWritten.size(), 1u);
    EXPECT_EQ(std::memcmp(&world.eventsWritten[0], &events, sizeof events), 0);
}

}  // namespace
