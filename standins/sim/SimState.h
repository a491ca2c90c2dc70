// The simulated engine's state kept in its folder (the schema: SimSchema.h), for the stand-ins
// and the tests that drive them.
//
// Where: PellucidSim.ini (state) and PellucidSim.journal (call journal, see SimJournal.h)
// in the folder of the host process's executable, or in the folder named by the
// environment variable PELLUCIDSIM_FOLDER when it is set and not empty (tests use it to
// keep each run apart; programs started by the host inherit it).
//
// Like a real engine, the store answers from memory: the file is read again only when it has
// changed since this process last read or wrote it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "SimFiles.h"
#include "SimSchema.h"

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

    EngineState& State() { return m_state; }
    const std::wstring& Folder() const { return m_folder; }
    void Commit();                          // writes the state back
    void Journal(const std::string& line);  // appends one finished journal line

private:
    std::wstring m_folder;
    FolderLock m_lock;
    EngineState m_state;
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
