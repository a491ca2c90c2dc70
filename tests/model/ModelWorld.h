// What the settings model meets in its native tests: the simulated engine's state answering
// its calls (and journaling them), the shipped Setting.ini with a row's changes, and the rows'
// small language applied to the model's options instead of the dialog's controls.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Ini.h"
#include "ScenarioText.h"
#include "SettingsModel.h"
#include "SimSchema.h"

namespace modeltest {

// The engine, the boot and tray helpers and the outputs, as the simulated engine's state
// gives them. An operation named in the state's failures answers its code and changes nothing.
class World : public settings::Environment {
public:
    explicit World(const std::string& engine = "");

    sim::EngineState state;
    std::vector<std::string> calls;    // operations in order ("ArmRestore 1", "ApplyTray on")
    std::vector<std::wstring> traces;  // debugger output
    std::vector<std::wstring> logged;  // log trace lines
    std::vector<SNAPSHOT_SETTING> snapshotsWritten;
    std::vector<EVENT_MONITOR_SETTING> eventsWritten;

    DWORD GetProductInfo(PRODUCT_INFO& info) override;
    DWORD GetSpaceUsage(SPACE_USAGE& usage) override;
    DWORD GetProtectState(DWORD& state) override;
    DWORD GetSnapshotSetting(SNAPSHOT_SETTING& setting) override;
    DWORD SetSnapshotSetting(SNAPSHOT_SETTING& setting) override;
    DWORD GetEventMonitorSetting(EVENT_MONITOR_SETTING& setting) override;
    DWORD SetEventMonitorSetting(EVENT_MONITOR_SETTING& setting) override;
    DWORD GetPassword(char (&password)[PASSWORD_BUFFER_SIZE]) override;
    DWORD ArmRestore(int choiceIndex) override;
    DWORD CancelRestore() override;
    void ApplyTray(bool on) override;
    void Trace(const std::wstring& text) override;
    void LogTrace(int line, const char* file, const std::wstring& text) override;
    void GreyRestoreChoices() override;

    bool Traced(const std::wstring& start) const;

private:
    DWORD Call(const std::string& operation);  // journals it; the forced failure or 0
};

// A value of Setting.ini changed for a row; a null value removes the key.
struct IniValue {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
};

// The shipped Setting.ini with a row's changes, read by the platform's rules.
class Configuration : public settings::Configuration {
public:
    explicit Configuration(const std::vector<IniValue>& changes = {});
    std::wstring Text(const config::Key& key) override;
    int Number(const config::Key& key) override;
    std::wstring EntryText(const config::Key& list, int index) override;
    int EntryNumber(const config::Key& list, int index) override;

private:
    std::wstring Value(const std::wstring& section, const std::wstring& key) const;
    settingcheck::IniDocument m_shipped;
    std::map<std::pair<std::wstring, std::wstring>, const wchar_t*> m_changes;
};

// The options as the dialog makes them: the restore list's two entries, the first selected.
settings::Options MadeOptions(Configuration& config);

// Does what the row's actions say, as a user's clicks and picks reach the model's rules
// (a greyed control takes no click).
void Act(settings::Options& options, const std::string& actions);

// Checks every claim of the row (on, off, enabled, greyed, #N, items=N).
void ExpectOptions(const settings::Options& options, const std::string& claims);

}  // namespace modeltest
