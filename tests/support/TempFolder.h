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
    explicit TempFolder(const std::wstring& name) {
        const std::wstring root = BuildHostDir() + L"\\..\\sandboxes";
        ::CreateDirectoryW(root.c_str(), nullptr);
        wchar_t full[MAX_PATH * 2] = {};
        ::GetFullPathNameW(root.c_str(), MAX_PATH * 2, full, nullptr);
        dir_ = std::wstring(full) + L"\\" + name + L"-" + std::to_wstring(::GetCurrentProcessId());
        Delete(dir_);
        ::CreateDirectoryW(dir_.c_str(), nullptr);
    }
    ~TempFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        if (!(test && test->result()->Failed())) Delete(dir_);
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
    static void Delete(const std::wstring& dir) {
        WIN32_FIND_DATAW found{};
        HANDLE search = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring path = dir + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    Delete(path);
                } else {
                    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    ::DeleteFileW(path.c_str());
                }
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(dir.c_str());
    }

    std::wstring dir_;
};

}  // namespace testsupport
