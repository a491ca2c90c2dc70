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

}  // namespace harness::host
