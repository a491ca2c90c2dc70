#include "FileTree.h"

#include <windows.h>

#include <functional>

namespace harness {
namespace {

// Calls `visit` for every entry of `dir` but "." and "..", with its name and whether it is a
// folder; false when the folder cannot be read.
bool ForEachEntry(const std::wstring& dir,
                  const std::function<void(const std::wstring&, bool)>& visit) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return true;
}

}  // namespace

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2] = {};
    ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return full;
}

bool CopyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    bool copied = true;
    const bool read = ForEachEntry(from, [&](const std::wstring& name, bool folder) {
        const std::wstring source = from + L"\\" + name, target = to + L"\\" + name;
        const bool ok = folder ? CopyTree(source, target)
                               : ::CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE;
        copied = ok && copied;
    });
    return read && copied;
}

void DeleteTree(const std::wstring& dir) {
    ForEachEntry(dir, [&](const std::wstring& name, bool folder) {
        const std::wstring path = dir + L"\\" + name;
        if (folder) {
            DeleteTree(path);
        } else {
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
        }
    });
    ::RemoveDirectoryW(dir.c_str());
}

}  // namespace harness
