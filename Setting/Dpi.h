// Display scaling. The configuration's positions and sizes and the skin images are pixels at
// 96 dpi, written for 100 %; every window of the module lays itself out at the dpi of the
// monitor it is on, scaling them, so that the texts (whose fonts scale with the dpi) stay whole.
#pragma once

#include <windows.h>

#include <string>

namespace dpi {

constexpr UINT kBase = 96;

// The dpi the platform reports for `window`: its monitor's dpi where the system has
// per-window dpi (Windows 10 1607 on), the screen's dpi otherwise.
UINT OfWindow(HWND window);

// Tells the platform's dialog manager (Windows 10 1703 on) to leave a dpi change of `dialog`
// to the dialog itself: it lays itself out from its configuration, not from its template.
void HandleDpiChangesItself(HWND dialog);

// `pixels` at 96 dpi, at `dpi` (rounded to the nearest pixel).
inline int Scale(int pixels, UINT dpi) {
    return ::MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kBase));
}

// From which dpi a skin's larger copy of an image ("name@2x.png" beside "name.png", twice the
// pixels) is drawn instead of the image.
constexpr UINT kLargerCopyFrom = 144;

// "dir\name@2x.png" for "dir\name.png": the larger copy of a skin image.
std::wstring LargerCopyPath(const std::wstring& path);

}  // namespace dpi
