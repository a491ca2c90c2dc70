// What PellucidSim.ini holds: the simulated engine's whole state and its first-use defaults,
// shared by the stand-ins of Pellucid.dll, Marrowick.dll, Tessinit.exe and the tray
// application, and by the tests that drive them. Every key is listed once, with its field, in
// SimSchema.cpp; the text is read and written by StateFileReader.h and StateFileWriter.h, and
// kept in its folder by SimState.h.
//
// The file is UTF-8 text in INI form, created with the defaults below on first use and
// rewritten whole (comments regenerated) whenever something changes it:
//
//   [Engine]               ProtectState = 1, SnapshotCount = 3,
//                          ProductName = "Corvianex Shield",
//                          ProductCaption = "Corvianex Shield 5",
//                          Password = ""            (ANSI bytes; "" = no password)
//   [SpaceUsage]           Total = 3355443200, Free = 2047606784   (1247.250 / 3200.000 MiB)
//   [SnapshotSetting]      the 135-byte record, 16 bytes a line, the key is the decimal
//   [EventMonitorSetting]  byte offset: "000 = 87 00 00 00 01 00 ...". A section that is
//                          present starts from zero bytes; an absent one gives the default
//                          (schedule on every 120 min, toaster and tray shown, restore off,
//                          choice 1 / flags 0x0001, period 30).
//   [BootRestore]          Armed, SnapshotIndex, Choice, Requester (set by SetBootRestore)
//   [BootEntry]            Present, Title (set by Marrowick's SetBootEntry)
//   [Tray]                 Registered, Name, Path, Folder (set by RegisterTray)
//   [Fail]                 <operation> = <nonzero code>: the call returns that code,
//                          changes nothing and is still journaled
//   [Delay]                <operation> = <milliseconds> slept before the call
//   [Tessinit]             DelayMs = 700 (how long the resize window shows),
//                          InitNvOk = "TRUE" (text for HKCR\Merrowfield\InitNvOk; see
//                          kFlagAbsent, kFlagDword, kFlagKeep in SimState.h), and optional
//                          NewTotal / NewFree: the space usage after a resize.
//
// Numbers are decimal or 0x-prefixed hexadecimal; booleans are 0 / 1. Texts are quoted:
// \\ is a backslash, \" a quote, \xNN one byte (UTF-8 for wide texts, the raw byte for the
// ANSI password); an unquoted text is taken as it stands. Operation names are the engine's
// export names (GetSnapshotSetting, SetBootEntry, ...), matched without regard to case.
// Keys and sections that are missing or unreadable keep their defaults.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "EngineRecords.h"

namespace sim {

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
using OperationTable = std::map<std::string, DWORD, NoCaseLess>;  // operation -> value

SNAPSHOT_SETTING DefaultSnapshotSetting();
EVENT_MONITOR_SETTING DefaultEventMonitorSetting();

struct BootRestore {
    bool armed = false;
    DWORD snapshotIndex = 0;
    DWORD choice = 0;
    DWORD requester = 0;
};

struct BootEntry {
    bool present = false;
    std::string title;  // ANSI
};

struct TrayRegistration {
    bool registered = false;
    std::wstring name;
    std::wstring path;
    std::wstring folder;
};

struct TessinitSettings {
    DWORD delayMs = 700;
    std::wstring initNvOk = L"TRUE";
    std::optional<DWORD> newTotal;
    std::optional<DWORD> newFree;
};

// Everything PellucidSim.ini holds; a default-constructed value is the first-use state.
struct EngineState {
    bool protectOn = true;
    DWORD snapshotCount = 3;
    std::wstring productName = L"Corvianex Shield";
    std::wstring productCaption = L"Corvianex Shield 5";
    std::string password;  // ANSI bytes; empty = none
    SPACE_USAGE spaceUsage{0xC8000000, 0x7A0C0000};
    SNAPSHOT_SETTING snapshotSetting = DefaultSnapshotSetting();
    EVENT_MONITOR_SETTING eventMonitorSetting = DefaultEventMonitorSetting();
    BootRestore bootRestore;
    BootEntry bootEntry;
    TrayRegistration tray;
    OperationTable failures;  // forced result codes
    OperationTable delays;    // milliseconds
    TessinitSettings tessinit;

    DWORD FailureFor(std::string_view operation) const;
    DWORD DelayFor(std::string_view operation) const;
};

bool operator==(const EngineState& a, const EngineState& b);
inline bool operator!=(const EngineState& a, const EngineState& b) {
    return !(a == b);
}

// The state as PellucidSim.ini's text, and back.
std::string FormatState(const EngineState& state);
EngineState ParseState(std::string_view text);

}  // namespace sim
