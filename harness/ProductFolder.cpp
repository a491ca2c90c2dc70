#include "ProductFolder.h"

#include <windows.h>

#include <algorithm>

#include "FileTree.h"

namespace harness {
namespace {

// The programs of an installed product, and its configuration.
const wchar_t* const kPrograms[] = {L"SettingHost.exe",  L"Setting.dll",  L"Pellucid.dll",
                                    L"Marrowick.dll",    L"Tessvane.dll", L"Tessinit.exe",
                                    L"CorvianexTray.exe"};
const wchar_t* const kConfigurationFiles[] = {L"Setting.ini", L"CreateDisk.ini"};

}  // namespace

ProductFolder::ProductFolder(std::wstring dir, size_t padTo) : dir_(std::move(dir)), root_(dir_) {
    DeleteTree(root_);
    ::CreateDirectoryW(dir_.c_str(), nullptr);
    PadTo(padTo);
    ::CreateDirectoryW(TempDir().c_str(), nullptr);
}

ProductFolder::~ProductFolder() {
    if (!keep_) DeleteTree(root_);
}

bool ProductFolder::Made() const {
    return IsFolder(TempDir());
}

// A chain of folders: a single name may not exceed 255 characters on the file systems Wine
// runs on.
void ProductFolder::PadTo(size_t length) {
    constexpr size_t kLongestName = 120;
    while (length > dir_.size()) {
        const size_t left = length - dir_.size();
        if (left == 1) {
            dir_ += L'x';  // lengthens the last folder's name
            ::MoveFileW(dir_.substr(0, dir_.size() - 1).c_str(), dir_.c_str());
            if (root_.size() + 1 == dir_.size()) root_ = dir_;
            return;
        }
        dir_ += L"\\" + std::wstring(std::min(left - 1, kLongestName), L'x');
        ::CreateDirectoryW(dir_.c_str(), nullptr);
    }
}

std::wstring ProductFolder::AddPrograms(const std::wstring& from) {
    for (const wchar_t* program : kPrograms) {
        const std::wstring source = from + L"\\" + program, target = PathOf(program);
        if (!::CreateHardLinkW(target.c_str(), source.c_str(), nullptr) &&
            !::CopyFileW(source.c_str(), target.c_str(), FALSE)) {
            return program;
        }
    }
    return {};
}

void ProductFolder::AddConfiguration(const std::wstring& from) {
    for (const wchar_t* file : kConfigurationFiles)
        ::CopyFileW((from + L"\\" + file).c_str(), PathOf(file).c_str(), FALSE);
    if (IsFolder(from + L"\\skin")) CopyTree(from + L"\\skin", PathOf(L"skin"));
}

}  // namespace harness
