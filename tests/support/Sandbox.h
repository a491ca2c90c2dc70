// A product folder of its own for one test: the host program, Setting.dll, the stand-ins and
// the shipped configuration, linked from the build's host folder. The test changes its INI
// files, skin and engine state freely; the host runs with its temporary folder (and so its
// log file) inside the sandbox.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "SimJournal.h"
#include "SimState.h"

namespace testsupport {

class Sandbox {
public:
    // `name` becomes part of the folder name; `padTo` (if given) makes the folder path exactly
    // that many characters long by lengthening its last component.
    explicit Sandbox(const std::string& name, size_t padTo = 0);
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::wstring& Dir() const { return dir_; }
    std::wstring PathOf(const std::wstring& relative) const { return dir_ + L"\\" + relative; }
    std::wstring TempDir() const { return PathOf(L"temp"); }

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
    sim::EngineState Engine() const { return sim::ReadState(dir_); }
    void UpdateEngine(const std::function<void(sim::EngineState&)>& change) const {
        sim::UpdateState(dir_, change);
    }
    void FailEngine(const std::string& operation, DWORD code) const {
        sim::SetFailure(dir_, operation, code);
    }
    void DelayEngine(const std::string& operation, DWORD ms) const {
        sim::SetDelay(dir_, operation, ms);
    }
    std::vector<sim::JournalEntry> Journal() const { return sim::ReadJournal(dir_); }
    // Operation names of the journal, in order.
    std::vector<std::string> Calls() const;

    // Keeps the folder after the test (set automatically when the test failed).
    void Keep() { keep_ = true; }

private:
    std::wstring dir_;
    std::wstring root_;  // the top folder of `dir_` (its padding is a chain of folders)
    bool keep_ = false;
};

// Folder of the build's host programs (where the test programs run from).
std::wstring BuildHostDir();
// Deletes a folder with everything in it.
void DeleteTree(const std::wstring& dir);

// The running test's name, fit for a folder ('/' of parameterised names replaced).
std::string TestName();
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace testsupport
