// State of the simulated snapshot engine, shared by the stand-ins of Pellucid.dll,
// Marrowick.dll, Tessinit.exe and the tray application, and by the tests that drive them.
//
// Where: PellucidSim.ini (state) and PellucidSim.journal (call journal, see SimJournal.h)
// in the folder of the host process's executable, or in the folder named by the
// environment variable PELLUCIDSIM_FOLDER when it is set and not empty (tests use it to
// keep each run apart; programs started by the host inherit it).
//
// PellucidSim.ini is UTF-8 text in INI form, created with the defaults below on first use
// and rewritten whole (comments regenerated) whenever something changes it:
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
//                          kFlagAbsent, kFlagDword, kFlagKeep), and optional NewTotal /
//                          NewFree: the space usage after a resize.
//
// Numbers are decimal or 0x-prefixed hexadecimal; booleans are 0 / 1. Texts are quoted:
// \\ is a backslash, \" a quote, \xNN one byte (UTF-8 for wide texts, the raw byte for the
// ANSI password); an unquoted text is taken as it stands. Operation names are the engine's
// export names (GetSnapshotSetting, SetBootEntry, ...), matched without regard to case.
// Keys and sections that are missing or unreadable keep their defaults.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "EngineRecords.h"
#include "SimFiles.h"

namespace sim {

constexpr wchar_t kStateFileName[] = L"PellucidSim.ini";
constexpr wchar_t kJournalFileName[] = L"PellucidSim.journal";
constexpr wchar_t kFolderVariable[] = L"PELLUCIDSIM_FOLDER";

// The re-initialisation flag that Tessinit.exe leaves for the settings module.
constexpr wchar_t kFlagKey[] = L"Merrowfield";  // under HKEY_CLASSES_ROOT
constexpr wchar_t kFlagValue[] = L"InitNvOk";
constexpr wchar_t kFlagAbsent[] = L"<absent>";  // delete the value
constexpr wchar_t kFlagDword[] = L"<dword>";    // write REG_DWORD 1 (a value of the wrong type)
constexpr wchar_t kFlagKeep[] = L"<keep>";      // leave whatever is there

// The tray application's stop signal.
constexpr wchar_t kTrayEventName[] = L"Global\\{BA459B91-7EA8-4dfd-862E-9E5FEDA168FB}";

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

std::string FormatState(const EngineState& state);
EngineState ParseState(std::string_view text);

// The folder the stand-ins use: PELLUCIDSIM_FOLDER, else the executable's folder.
std::wstring HostFolder();

// Whole-state access for tests and tools; each call holds the folder's lock. ReadState
// creates the file with the defaults when it does not exist yet.
EngineState ReadState(const std::wstring& folder);
void WriteState(const std::wstring& folder, const EngineState& state);
void ResetState(const std::wstring& folder);
void UpdateState(const std::wstring& folder, const std::function<void(EngineState&)>& change);
void SetFailure(const std::wstring& folder, const std::string& operation, DWORD code);  // 0 clears
void SetDelay(const std::wstring& folder, const std::string& operation, DWORD milliseconds);

// One locked read-modify-write: the lock is held from construction to destruction, so
// state changes and journal lines of concurrent callers appear in one order.
class StateTransaction {
public:
    explicit StateTransaction(std::wstring folder);
    StateTransaction(const StateTransaction&) = delete;
    StateTransaction& operator=(const StateTransaction&) = delete;

    EngineState& State() { return state_; }
    const std::wstring& Folder() const { return folder_; }
    void Commit();                          // writes the state back
    void Journal(const std::string& line);  // appends one finished journal line

private:
    std::wstring folder_;
    FolderLock lock_;
    EngineState state_;
};

// Sets HKCR\Merrowfield\InitNvOk as `setting` says (a text, or kFlagAbsent / kFlagDword /
// kFlagKeep). Returns 0 or the registry's error code.
DWORD WriteInitNvOk(const std::wstring& setting);
// The value's text; kFlagAbsent when key or value is missing, kFlagDword for any
// non-string type.
std::wstring ReadInitNvOk();

// Sets the tray application's event when one exists; false when none does.
bool SignalTray();

}  // namespace sim
