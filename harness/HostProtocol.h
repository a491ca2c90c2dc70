// What the demo host (SettingHost.exe) and the programs that drive it from outside agree on:
// its window's class, its "Settings..." button and the messages its window understands.
#pragma once

#include <windows.h>

namespace harness::host {

constexpr wchar_t kWindowClass[] = L"SettingHostWindow";
constexpr int kSettingsButton = 100;
// Opens the settings at once, and ends the host when they have closed (its /show).
constexpr UINT kOpenNow = WM_APP + 1;
// Tells the open dialog what the platform tells a per-monitor aware window moved to a monitor
// of another dpi: wParam the new dpi, lParam the dialog's present dpi.
constexpr UINT kMoveToDpi = WM_APP + 2;
// Tells the module what the platform would say with high contrast switched on (wParam 1) or
// what it says (wParam 0): Wine cannot switch it on. The host answers the module's question
// (its import of SystemParametersInfoW) itself; the open windows learn of it when they are
// told that a setting changed, as from the platform.
constexpr UINT kForceHighContrast = WM_APP + 3;

}  // namespace harness::host
