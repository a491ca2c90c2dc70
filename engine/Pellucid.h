// Operations of the snapshot engine library Pellucid.dll. The library exports them by
// ordinal only (see Pellucid.exports); the callee removes its arguments (__stdcall).
// Unless noted, 0 means success and any other value is the engine's error code.
#pragma once

#include <windows.h>

#include "EngineRecords.h"

#ifdef PELLUCID_BUILDING
#define PELLUCID_API extern "C"
#else
#define PELLUCID_API extern "C" __declspec(dllimport)
#endif

PELLUCID_API DWORD WINAPI GetProtectState(DWORD* state);   // @2: nonzero = protection on
PELLUCID_API DWORD WINAPI GetSnapshotCount(DWORD* count);  // @3
PELLUCID_API DWORD WINAPI EnableProtect();                 // @5
PELLUCID_API DWORD WINAPI DisableProtect();                // @6
PELLUCID_API DWORD WINAPI SetBootRestore(BOOT_RESTORE_REQUEST* request);              // @8
PELLUCID_API DWORD WINAPI GetSnapshotSetting(SNAPSHOT_SETTING* setting, DWORD size);  // @20
PELLUCID_API DWORD WINAPI SetSnapshotSetting(SNAPSHOT_SETTING* setting, DWORD size);  // @21
PELLUCID_API DWORD WINAPI GetEventMonitorSetting(EVENT_MONITOR_SETTING* setting,
                                                 DWORD size);  // @22
PELLUCID_API DWORD WINAPI SetEventMonitorSetting(EVENT_MONITOR_SETTING* setting,
                                                 DWORD size);  // @23
// @30, declared as PellucidGetProductInfo: kernel32 has a GetProductInfo of its own (other
// arguments) and two C functions cannot share a name. The import is by ordinal either way;
// the C++ overload at the end keeps the engine's name at the call sites.
PELLUCID_API DWORD WINAPI PellucidGetProductInfo(PRODUCT_INFO* info, DWORD size);
PELLUCID_API DWORD WINAPI GetSpaceUsage(SPACE_USAGE* usage, DWORD size);             // @31
PELLUCID_API DWORD WINAPI RegisterTray(LPCWSTR name, LPCWSTR path, LPCWSTR folder);  // @32
PELLUCID_API DWORD WINAPI UnregisterTray(LPCWSTR name);                              // @33
// Fills a PASSWORD_BUFFER_SIZE-byte buffer with the ANSI password; empty = none.
PELLUCID_API DWORD WINAPI GetCvxPassWord(char* password);  // @36
// Stores the ANSI password; "" removes it.
PELLUCID_API DWORD WINAPI SetCvxPassWord(const char* password);  // @37
PELLUCID_API DWORD WINAPI ClearBootRestore();                    // @38

inline DWORD GetProductInfo(PRODUCT_INFO* info, DWORD size) {
    return PellucidGetProductInfo(info, size);
}
