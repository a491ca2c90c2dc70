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

ProductFolder::ProductFolder(std::wstring dir, size_t padTo)
    : m_dir(std::move(dir)), m_root(m_dir) {
    DeleteTree(m_root);
    ::CreateDirectoryW(m_dir.c_str(), nullptr);
    PadTo(padTo);
    ::CreateDirectoryW(TempDir().c_str(), nullptr);
}

ProductFolder::~ProductFolder() {
    if (!m_keep) DeleteTree(m_root);
}

bool ProductFolder::Made() const {
    return IsFolder(TempDir());
}

// A chain of folders: a single name may not exceed 255 characters on the file systems Wine
// runs on.
void ProductFolder::PadTo(size_t length) {
    constexpr size_t kLongestName = 120;
    while (length > m_dir.size()) {
        const size_t left = length - m_dir.size();
        if (left == 1) {
            m_dir += L'x';  // lengthens the last folder's name
            ::MoveFileW(m_dir.substr(0, m_dir.size() - 1).c_str(), m_dir.c_str());
            if (m_root.size() + 1 == m_dir.size()) m_root = m_dir;
            return;
        }
        m_dir += L"\\" + std::wstring(std::min(left - 1, kLongestName), L'x');
        ::CreateDirectoryW(m_dir.c_str(), nullptr);
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
