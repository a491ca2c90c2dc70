// The boot-entry library Marrowick.dll: adds or removes the recovery environment's
// boot entry. Imported by ordinal only; the callee removes its argument.
#pragma once

#include <windows.h>

#include "EngineRecords.h"

#ifdef MARROWICK_BUILDING
#define MARROWICK_API extern "C"
#else
#define MARROWICK_API extern "C" __declspec(dllimport)
#endif

MARROWICK_API DWORD WINAPI SetBootEntry(BOOT_ENTRY_REQUEST* request);  // @25
