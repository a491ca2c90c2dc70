// The dpi a window is laid out at, as the platform tells it. The scaling itself, which needs no
// window, is DpiScaling.h.
#pragma once

#include <windows.h>

#include "DpiScaling.h"

namespace dpi {

// The dpi the platform reports for `window`: its monitor's dpi where the system has
// per-window dpi (Windows 10 1607 on), the screen's dpi otherwise.
UINT OfWindow(HWND window);

// Tells the platform's dialog manager (Windows 10 1703 on) to leave a dpi change of `dialog`
// to the dialog itself: it lays itself out from its configuration, not from its template.
void HandleDpiChangesItself(HWND dialog);

}  // namespace dpi
