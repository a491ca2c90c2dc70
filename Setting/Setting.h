// The module's entry: the one export, and the application object that owns what the module
// keeps for its whole life.
#pragma once

#include <windows.h>

// Runs the settings dialog modally over `parent` (which may be null) and returns when it has
// closed.
extern "C" void WINAPI ShowDlgSetting(HWND parent);

class CSettingApp {
public:
    static CSettingApp& Instance();

    void Attach(HINSTANCE module);
    // Module unload (not process exit): releases what outlives the dialogs, then GDI+.
    void Detach();

    void ShowSettings(HWND parent);

    CSettingApp() = default;
    CSettingApp(const CSettingApp&) = delete;
    CSettingApp& operator=(const CSettingApp&) = delete;

private:
    HINSTANCE m_hModule = nullptr;
};
