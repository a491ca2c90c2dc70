// A window's pixels, as they are on the screen (its frame included), saved as a PNG file with
// GDI+ (which the caller has started). Shared by the demo host's screenshot and settingpreview.
#pragma once

#include <windows.h>

#include <string>

bool SaveWindowAsPng(HWND window, const std::wstring& path);
