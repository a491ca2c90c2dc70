// A window's pixels, as they are on the screen (its frame included), saved as a PNG file with
// GDI+ (which the caller has started: GdiPlusSession.h).
#pragma once

#include <windows.h>

#include <string>

namespace harness {

bool SaveWindowAsPng(HWND window, const std::wstring& path);

}  // namespace harness
