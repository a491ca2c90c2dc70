#include "Sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "SimFiles.h"

namespace testsupport {
namespace {

// The programs of an installed product folder, and its configuration.
const wchar_t* const kProgramFiles[] = {L"SettingHost.exe",  L"Setting.dll",  L"Pellucid.dll",
                                        L"Marrowick.dll",    L"Tessvane.dll", L"Tessinit.exe",
                                        L"CorvianexTray.exe"};
const wchar_t* const kConfigFiles[] = {L"Setting.ini", L"CreateDisk.ini"};

void CopyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + L"\\" + name, to + L"\\" + name);
        } else {
            ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

}  // namespace

void DeleteTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path);
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(dir.c_str());
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string TestName() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? test->name() : "test";
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

std::wstring BuildHostDir() {
    return sim::ExecutableFolder();
}

Sandbox::Sandbox(const std::string& name, size_t padTo) {
    const std::wstring root = BuildHostDir() + L"\\..\\sandboxes";
    ::CreateDirectoryW(root.c_str(), nullptr);
    wchar_t full[MAX_PATH * 2];
    ::GetFullPathNameW(root.c_str(), MAX_PATH * 2, full, nullptr);
    // Process ids repeat from run to run under Wine; the clock keeps a kept sandbox of an
    // earlier run from being reused.
    dir_ = std::wstring(full) + L"\\" + Widen(name) + L"-" +
           std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(::GetTickCount64() % 100000);
    root_ = dir_;
    DeleteTree(root_);
    ::CreateDirectoryW(dir_.c_str(), nullptr);
    // The padding is a chain of folders: a single name may not exceed 255 characters on the
    // file systems Wine runs on.
    constexpr size_t kLongestName = 120;
    while (padTo > dir_.size()) {
        const size_t left = padTo - dir_.size();
        if (left == 1) {
            dir_ += L'x';  // lengthens the last folder's name
            ::MoveFileW(dir_.substr(0, dir_.size() - 1).c_str(), dir_.c_str());
            if (root_.size() + 1 == dir_.size()) root_ = dir_;
            break;
        }
        dir_ += L"\\" + std::wstring(std::min(left - 1, kLongestName), L'x');
        ::CreateDirectoryW(dir_.c_str(), nullptr);
    }
    ::CreateDirectoryW(TempDir().c_str(), nullptr);
    const std::wstring from = BuildHostDir();
    for (const wchar_t* file : kProgramFiles) {
        const std::wstring source = from + L"\\" + file;
        const std::wstring target = PathOf(file);
        // Binaries are linked, not copied: the same files in every sandbox, at no cost.
        if (!::CreateHardLinkW(target.c_str(), source.c_str(), nullptr)) {
            ::CopyFileW(source.c_str(), target.c_str(), FALSE);
        }
    }
    // Tests change the configuration, so it is copied, never linked.
    for (const wchar_t* file : kConfigFiles) {
        ::CopyFileW((from + L"\\" + file).c_str(), PathOf(file).c_str(), FALSE);
    }
    CopyTree(from + L"\\skin", PathOf(L"skin"));
    sim::ResetState(dir_);
}

Sandbox::~Sandbox() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (keep_ || (test && test->result()->Failed())) return;
    DeleteTree(root_);
}

void Sandbox::SetIni(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                     const wchar_t* value) const {
    ::WritePrivateProfileStringW(section, key, value, PathOf(file).c_str());
}

std::wstring Sandbox::GetIni(const wchar_t* file, const wchar_t* section,
                             const wchar_t* key) const {
    wchar_t buffer[8192] = {};
    ::GetPrivateProfileStringW(section, key, L"", buffer, 8192, PathOf(file).c_str());
    return buffer;
}

void Sandbox::WriteFile(const std::wstring& relative, const std::string& bytes) const {
    const std::wstring path = PathOf(relative);
    ::DeleteFileW(path.c_str());  // never write through a link into the build's files
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Sandbox::ReadFile(const std::wstring& relative) const {
    std::ifstream in(PathOf(relative).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Sandbox::RemoveFile(const std::wstring& relative) const {
    const std::wstring path = PathOf(relative);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

std::wstring Sandbox::LogPath(const std::wstring& hostExe) const {
    return TempDir() + L"\\virget_" + hostExe + L".log";
}

std::vector<std::wstring> Sandbox::LogLines(const std::wstring& hostExe) const {
    std::ifstream in(LogPath(hostExe).c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end = text.find(L"\r\n"); end != std::wstring::npos;
         end = text.find(L"\r\n", start)) {
        lines.push_back(text.substr(start, end + 2 - start));
        start = end + 2;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::string> Sandbox::Calls() const {
    std::vector<std::string> calls;
    for (const auto& entry : Journal())
        calls.push_back(entry.operation);
    return calls;
}

}  // namespace testsupport
