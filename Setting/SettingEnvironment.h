// The settings model's surroundings in the module: the engine library (by ordinal), restore at
// start-up through the product's boot helpers, the tray application, the debugger output, the
// log, and the settings dialog's restore list.
#pragma once

#include <windows.h>

#include <functional>

#include "SettingsModel.h"

class CSettingEnvironment : public settings::Environment {
public:
    // `dialog` is the settings dialog, `requester` its identity in the engine's restore
    // request, `applyTray` the dialog's tray update (a save's; a load never calls it).
    explicit CSettingEnvironment(HWND dialog, DWORD requester = 0,
                                 std::function<void(bool)> applyTray = {});

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

private:
    HWND m_hDialog;
    DWORD m_dwRequester;
    std::function<void(bool)> m_applyTray;
};

// Writes a load's or a save's failure to the log, at the model's place that found it.
void LogFailure(const settings::Failure& failure);
