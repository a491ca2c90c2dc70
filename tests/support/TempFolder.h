// A fresh, empty folder of the test's own beside the build's sandboxes, deleted again when
// the test passed (kept for a look when it failed). For in-process tests that need real files.
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "LogRecords.h"
#include "Sandbox.h"

namespace testsupport {

class TempFolder {
public:
    explicit TempFolder(const std::wstring& name = Widen(TestName()))
        : dir_(SandboxPath(name + L"-" + std::to_wstring(::GetCurrentProcessId()))) {
        DeleteTree(dir_);
        ::CreateDirectoryW(dir_.c_str(), nullptr);
    }
    ~TempFolder() {
        if (!TestFailed()) DeleteTree(dir_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Dir() const { return dir_; }
    std::wstring PathOf(const std::wstring& name) const { return dir_ + L"\\" + name; }

    void Write(const std::wstring& name, const std::string& bytes) const {
        std::ofstream out(PathOf(name).c_str(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // The file's bytes; empty when it does not exist.
    std::string Read(const std::wstring& name) const {
        std::ifstream in(PathOf(name).c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::wstring& name) const {
        return ::GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    std::wstring dir_;
};

// A TempFolder that is also this process's temporary folder (TMP and TEMP, inherited by the
// programs it starts) while it lives, so that the module's log of this program lands in it;
// with `engine`, the simulated engine keeps its state and journal there too.
class TemporaryFolder : public TempFolder {
public:
    explicit TemporaryFolder(bool engine = false) : engine_(engine) {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH * 2] = {};
            ::GetEnvironmentVariableW(name, value, MAX_PATH * 2);
            saved_.push_back(value);
            ::SetEnvironmentVariableW(name, Dir().c_str());
        }
        if (engine_) ::SetEnvironmentVariableW(L"PELLUCIDSIM_FOLDER", Dir().c_str());
    }
    ~TemporaryFolder() {
        ::SetEnvironmentVariableW(L"TMP", saved_[0].c_str());
        ::SetEnvironmentVariableW(L"TEMP", saved_[1].c_str());
        if (engine_) ::SetEnvironmentVariableW(L"PELLUCIDSIM_FOLDER", nullptr);
    }

    // The records of the module's log that `program` wrote here.
    std::vector<std::wstring> Log(const std::wstring& program = L"unit_test.exe") const {
        return SplitRecords(FromUtf16Le(Read(L"virget_" + program + L".log")));
    }

private:
    bool engine_;
    std::vector<std::wstring> saved_;
};

}  // namespace testsupport
