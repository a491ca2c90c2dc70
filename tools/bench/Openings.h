// The two dialogs measured against each other: the module's settings dialog, and the baseline,
// the platform's own dialog of the same template in the module's manifest's activation context
// (so that both are made of the same controls).
#pragma once

#include <windows.h>

#include "HostWindow.h"
#include "ManifestContext.h"

namespace bench {

using ShowDlgSettingFn = void(WINAPI*)(HWND);
// The module's export; null when it has none.
ShowDlgSettingFn ShowDlgSettingOf(HMODULE module);

// Runs the baseline modally over `parent`.
void RunBaselineDialog(HMODULE module, HWND parent, const harness::ManifestContext& controls);

// Both dialogs ended as a user's close would: nothing saved.
void CloseModuleDialog(HWND dialog);
void CloseBaselineDialog(HWND dialog);

// Openings of either dialog over a host window of the calling thread, timed to idle.
class Openings {
public:
    Openings(HMODULE module, ShowDlgSettingFn show);

    // One opening; `atIdle` runs when the dialog is up and idle and must end it. Returns the
    // time from the call to that moment, in milliseconds.
    double OpenModule(const HostWindow::AtIdle& atIdle);
    double OpenBaseline(const HostWindow::AtIdle& atIdle);

private:
    HMODULE m_module;
    ShowDlgSettingFn m_show;
    const harness::ManifestContext m_controls;
    HostWindow m_host;
};

}  // namespace bench
