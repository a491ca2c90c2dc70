// A fresh, empty folder of the test's own beside the build's sandboxes, deleted again when
// the test passed (kept for a look when it failed). For in-process tests that need real files.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "Sandbox.h"

namespace testsupport {

class TempFolder {
public:
    explicit TempFolder(const std::wstring& name = Widen(TestName())) {
        const std::wstring root = BuildHostDir() + L"\\..\\sandboxes";
        ::CreateDirectoryW(root.c_str(), nullptr);
        wchar_t full[MAX_PATH * 2] = {};
        ::GetFullPathNameW(root.c_str(), MAX_PATH * 2, full, nullptr);
        dir_ = std::wstring(full) + L"\\" + name + L"-" + std::to_wstring(::GetCurrentProcessId());
        DeleteTree(dir_);
        ::CreateDirectoryW(dir_.c_str(), nullptr);
    }
    ~TempFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        if (!(test && test->result()->Failed())) DeleteTree(dir_);
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

}  // namespace testsupport
