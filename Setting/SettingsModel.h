// The settings the dialog shows and saves, apart from any window: loading (the engine's records
// and the period lists of Setting.ini become the states of the option controls), the option
// rules (what each click checks, clears, enables and greys), and saving (the user's choices
// become the records written, in the engine's order). The settings dialog shows these states
// and reads the user's changes back into them; the engine, the configuration and the
// debugger output are reached through the interfaces below, so that all of it runs in a test
// without a window or an engine library.
//
// Free of platform headers: the model also builds natively for its tests.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ConfigKeys.h"
#include "EngineRecords.h"

namespace settings {

// A check box of the dialog.
struct Toggle {
    bool checked = false;
    bool enabled = true;
};

// A drop-down list of the dialog.
struct List {
    std::vector<std::wstring> entries;
    int selected = -1;  // -1: nothing selected
    bool enabled = true;
};

// The option controls, as the dialog is made (every box clear and enabled, every list empty)
// until the load and the user change them.
struct Options {
    Toggle protect, schedule, systemFolder, newProgram, cycle, restore, tray, toaster, password;
    List schedulePeriods, cyclePeriods, restoreChoices;
    bool scheduleUnitEnabled = true, cycleUnitEnabled = true, toTheLatestEnabled = true;
    bool applyEnabled = false;  // the hidden Apply button
};

// The texts the load sets, each only once the load has got that far.
struct Texts {
    std::wstring productName;
    std::optional<std::wstring> title;  // "TITLE" with the product name
    std::optional<std::wstring> usage;  // "VP_FREESHOW" with the space figures
};

// A step that failed: the engine's code (8 for memory that could not be had) at a place of
// this model, or a text for a failure of another kind (with code 0).
struct Failure {
    int code = 0;
    int line = 0;
    const char* file = "";
    std::wstring text;
};

// Setting.ini as the model reads it (a missing value reads as "" and 0).
class Configuration {
public:
    virtual ~Configuration() = default;
    virtual std::wstring Text(const config::Key& key) = 0;
    virtual int Number(const config::Key& key) = 0;
    // Entry `index` of a list ("TIME_0", ...), as text and as the number it starts with.
    virtual std::wstring EntryText(const config::Key& list, int index) = 0;
    virtual int EntryNumber(const config::Key& list, int index) = 0;
};

// The engine library, the product's boot and tray helpers, the debugger output, and the one
// control a save changes behind the waiting box. Each engine call returns the engine's result
// (0: done).
class Environment {
public:
    virtual ~Environment() = default;
    virtual DWORD GetProductInfo(PRODUCT_INFO& info) = 0;
    virtual DWORD GetSpaceUsage(SPACE_USAGE& usage) = 0;
    virtual DWORD GetProtectState(DWORD& state) = 0;
    virtual DWORD GetSnapshotSetting(SNAPSHOT_SETTING& setting) = 0;
    virtual DWORD SetSnapshotSetting(SNAPSHOT_SETTING& setting) = 0;
    virtual DWORD GetEventMonitorSetting(EVENT_MONITOR_SETTING& setting) = 0;
    virtual DWORD SetEventMonitorSetting(EVENT_MONITOR_SETTING& setting) = 0;
    virtual DWORD GetPassword(char (&password)[PASSWORD_BUFFER_SIZE]) = 0;
    // Restore at start-up of the latest snapshot armed with the restore list's entry
    // `choiceIndex` (-1: none), or cancelled with the boot entry reset; the last result.
    virtual DWORD ArmRestore(int choiceIndex) = 0;
    virtual DWORD CancelRestore() = 0;
    // The tray application started and registered, or told to quit and unregistered.
    virtual void ApplyTray(bool on) = 0;
    // A line for the debugger output, and one for the log with the place that writes it.
    virtual void Trace(const std::wstring& text) = 0;
    virtual void LogTrace(int line, const char* file, const std::wstring& text) = 0;
    // A save that cancels restore at start-up greys the restore list at once.
    virtual void GreyRestoreChoices() = 0;
};

// Loads the engine's settings into `options` and `texts` (the restore list's entries are the
// dialog's own), in the engine's order, then applies the option rules. A failing engine call
// ends the load: what was set before it stays, nothing after it is set, and the failure comes
// back. A failing password read is no failure: the password box keeps its state. `config`
// may be null (no reader could be had): the load then fails after the product information.
std::optional<Failure> Load(Environment& environment, Configuration* config, Options& options,
                            Texts& texts);

// The usage line again (the resize command shows the area's new size).
std::optional<Failure> LoadUsage(Environment& environment, Configuration& config, Texts& texts);

// The option rules, on the states as the user's click left them.
void ScheduleClicked(Options& options);        // the schedule box
void EventOptionClicked(Options& options);     // the system folder or the new program box
void RestoreClicked(Options& options);         // restore at start-up
void NotificationClicked(Options& options);    // the tray or the toaster box
void SchedulePeriodChanged(Options& options);  // another entry of the schedule list
// The protection switch started on its way on or off: the restore controls follow it.
void ProtectionSwitched(Options& options, bool on);

// What a save writes: the states of the option controls when the user asked for it.
struct Choices {
    bool schedule = false;
    int scheduleIndex = -1;
    bool toaster = false;
    bool tray = false;
    bool restore = false;
    int restoreChoiceIndex = -1;
    bool cycle = false;
    int cycleIndex = -1;
    bool systemFolder = false;
    bool newProgram = false;
};
Choices ChoicesOf(const Options& options);

// The save, in the engine's order: the protection state and the settings read, the dialog's
// fields changed (all others kept as the engine gave them), restore at start-up armed or
// cancelled and the tray applied before the settings are written, then the event settings
// written whole. A failing step ends the save; what was written before it stays.
std::optional<Failure> Save(Environment& environment, Configuration& config,
                            const Choices& choices);

}  // namespace settings
