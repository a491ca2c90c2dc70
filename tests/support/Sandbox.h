// A product folder of its own for one test (harness::ProductFolder): the build's programs and
// the shipped configuration. The test changes its INI files, skin and engine state freely; the
// host runs with its temporary folder (and so its log file) inside the sandbox. A failed test's
// sandbox is kept for a look.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Harness.h"
#include "SimJournal.h"
#include "SimState.h"

namespace testsupport {

class Sandbox : public ProductFolder {
public:
    // `name` becomes part of the folder name; `padTo` (if given) makes the folder path exactly
    // that many characters long.
    explicit Sandbox(const std::string& name, size_t padTo = 0);
    ~Sandbox();

    // Writes `value` under [section] key of an INI file of the sandbox (null deletes the key).
    void SetIni(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                const wchar_t* value) const;
    void SetSetting(const wchar_t* section, const wchar_t* key, const wchar_t* value) const {
        SetIni(L"Setting.ini", section, key, value);
    }
    std::wstring GetIni(const wchar_t* file, const wchar_t* section, const wchar_t* key) const;
    void WriteFile(const std::wstring& relative, const std::string& bytes) const;
    std::string ReadFile(const std::wstring& relative) const;
    void RemoveFile(const std::wstring& relative) const;

    // The diagnostic log of a host program run in this sandbox, split into records (each
    // with its "\r\n").
    std::wstring LogPath(const std::wstring& hostExe = L"SettingHost.exe") const;
    std::vector<std::wstring> LogLines(const std::wstring& hostExe = L"SettingHost.exe") const;

    // The simulated engine of this sandbox.
    sim::EngineState Engine() const { return sim::ReadState(Dir()); }
    void UpdateEngine(const std::function<void(sim::EngineState&)>& change) const {
        sim::UpdateState(Dir(), change);
    }
    void FailEngine(const std::string& operation, DWORD code) const {
        sim::SetFailure(Dir(), operation, code);
    }
    void DelayEngine(const std::string& operation, DWORD ms) const {
        sim::SetDelay(Dir(), operation, ms);
    }
    std::vector<sim::JournalEntry> Journal() const { return sim::ReadJournal(Dir()); }
    // Operation names of the journal, in order.
    std::vector<std::string> Calls() const;
};

// Folder of the build's host programs (where the test programs run from).
std::wstring BuildHostDir();
// A folder named `name` for this test program beside the build's host folder, where the
// sandboxes lie.
std::wstring SandboxPath(const std::wstring& name);
// The running test has failed so far.
bool TestFailed();

// The running test's name, fit for a folder ('/' of parameterised names replaced).
std::string TestName();
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace testsupport
