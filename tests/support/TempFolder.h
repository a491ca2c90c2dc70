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
        : m_dir(SandboxPath(name + L"-" + std::to_wstring(::GetCurrentProcessId()))) {
        DeleteTree(m_dir);
        ::CreateDirectoryW(m_dir.c_str(), nullptr);
    }
    ~TempFolder() {
        if (!TestFailed()) DeleteTree(m_dir);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Dir() const { return m_dir; }
    std::wstring PathOf(const std::wstring& name) const { return m_dir + L"\\" + name; }

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
    std::wstring m_dir;
};

// A TempFolder that is also this process's temporary folder (TMP and TEMP, inherited by the
// programs it starts) while it lives, so that the module's log of this program lands in it;
// with `engine`, the simulated engine keeps its state and journal there too.
class TemporaryFolder : public TempFolder {
public:
    explicit TemporaryFolder(bool engine = false) : m_engine(engine) {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH * 2] = {};
            ::GetEnvironmentVariableW(name, value, MAX_PATH * 2);
            m_saved.push_back(value);
            ::SetEnvironmentVariableW(name, Dir().c_str());
        }
        if (m_engine) ::SetEnvironmentVariableW(L"PELLUCIDSIM_FOLDER", Dir().c_str());
    }
    ~TemporaryFolder() {
        ::SetEnvironmentVariableW(L"TMP", m_saved[0].c_str());
        ::SetEnvironmentVariableW(L"TEMP", m_saved[1].c_str());
        if (m_engine) ::SetEnvironmentVariableW(L"PELLUCIDSIM_FOLDER", nullptr);
    }

    // The records of the module's log that `program` wrote here.
    std::vector<std::wstring> Log(const std::wstring& program = L"unit_test.exe") const {
        return SplitRecords(FromUtf16Le(Read(L"virget_" + program + L".log")));
    }

private:
    bool m_engine;
    std::vector<std::wstring> m_saved;
};

}  // namespace testsupport
