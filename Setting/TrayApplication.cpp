// The tray application, started and registered, or told to quit and unregistered, as the
// tray icon box says when the settings are saved.
#include "HostPath.h"
#include "Pellucid.h"
#include "Process.h"
#include "SettingDlg.h"
#include "Text.h"

namespace {
// The tray application listens to it; the module only opens it, never creates it.
constexpr wchar_t kTrayEventName[] = L"Global\\{BA459B91-7EA8-4dfd-862E-9E5FEDA168FB}";
}  // namespace

int CSettingDlg::ApplyTraySetting(bool trayOn, CIniFile* ini) const {
    const std::wstring folder = HostDirectory();
    if (!ini) return -1;
    const std::wstring name =
        text::ReplaceAll(ini->String(config::kTrayName), L"[PRODUCTNAME]", m_strProductName);
    const std::wstring image = ini->String(config::kTrayImage);
    if (name.empty() || image.empty()) return -2;
    const std::wstring program = folder + image;
    if (trayOn) {
        RunProgram(program, L"", folder, true, false);
        ::RegisterTray(name.c_str(), program.c_str(), folder.c_str());
    } else {
        if (HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, kTrayEventName)) {
            ::SetEvent(event);
            ::CloseHandle(event);
        }
        ::UnregisterTray(name.c_str());
    }
    return 0;
}
