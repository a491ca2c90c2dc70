// The protected-area resize library Tessvane.dll. The settings module imports it at load
// time (so it cannot load without it) but calls none of its operations: resizing is done
// by the separate tool Tessinit.exe.
#pragma once

#include <windows.h>

#ifdef TESSVANE_BUILDING
#define TESSVANE_API extern "C"
#else
#define TESSVANE_API extern "C" __declspec(dllimport)
#endif

TESSVANE_API DWORD WINAPI ResizeProtectedArea(DWORD newSizeMiB);  // @1
