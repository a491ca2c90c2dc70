#include "SimFiles.h"

#include <cstdint>
#include <cstdio>
#include <system_error>
#include <vector>

namespace sim {

UniqueHandle& UniqueHandle::operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
        Reset(other.Release());
    }
    return *this;
}

HANDLE UniqueHandle::Release() {
    HANDLE handle = m_handle;
    m_handle = nullptr;
    return handle;
}

void UniqueHandle::Reset(HANDLE handle) {
    if (*this) {
        CloseHandle(m_handle);
    }
    m_handle = handle;
}

void ThrowWin32(const char* what, DWORD code) {
    if (code == 0) {
        code = GetLastError();
    }
    if (code == 0) {
        code = ERROR_GEN_FAILURE;  // never report a failure as success
    }
    throw std::system_error(static_cast<int>(code), std::system_category(), what);
}

namespace {

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        ThrowWin32("GetFullPathNameW");
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        ThrowWin32("GetFullPathNameW");
    }
    full.resize(length);
    return full;
}

// FNV-1a: a stable, dependency-free way to turn a path into a short object name.
uint64_t HashText(const std::wstring& text) {
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : text) {
        hash ^= static_cast<uint16_t>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::wstring MutexNameFor(const std::wstring& folder) {
    std::wstring key = FullPath(folder);
    while (key.size() > 3 && (key.back() == L'\\' || key.back() == L'/')) {
        key.pop_back();
    }
    // Upper-cased without user32, which an engine library should not need to load.
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, key.data(), static_cast<int>(key.size()),
                  key.data(), static_cast<int>(key.size()), nullptr, nullptr, 0);
    wchar_t name[64];
    swprintf(name, 64, L"Local\\PellucidSim-%016llX",
             static_cast<unsigned long long>(HashText(key)));
    return name;
}

UniqueHandle OpenForWriting(const std::wstring& path, DWORD access, DWORD disposition) {
    UniqueHandle file(CreateFileW(path.c_str(), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        ThrowWin32("CreateFileW");
    }
    return file;
}

void WriteAll(HANDLE file, const std::string& content) {
    DWORD written = 0;
    if (!WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size()) {
        ThrowWin32("WriteFile", written != content.size() ? ERROR_WRITE_FAULT : 0);
    }
}

}  // namespace

std::wstring ExecutableFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            ThrowWin32("GetModuleFileNameW");
        }
        if (length < buffer.size()) {
            return FolderOf(std::wstring(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);  // truncated: long path
    }
}

std::wstring CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    if (length == 0 || length >= needed) {
        ThrowWin32("GetCurrentDirectoryW");
    }
    folder.resize(length);
    return folder;
}

std::wstring JoinPath(const std::wstring& folder, const wchar_t* name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') {
        path += L'\\';
    }
    return path + name;
}

bool ReadWholeFile(const std::wstring& path, std::string& content) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return false;
        }
        ThrowWin32("CreateFileW", error);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) {
        ThrowWin32("GetFileSizeEx");
    }
    content.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() &&
        !ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) {
        ThrowWin32("ReadFile");
    }
    content.resize(read);
    return true;
}

void WriteWholeFile(const std::wstring& path, const std::string& content) {
    const UniqueHandle file = OpenForWriting(path, GENERIC_WRITE, CREATE_ALWAYS);
    WriteAll(file.Get(), content);
}

void AppendToFile(const std::wstring& path, const std::string& content) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the current end.
    const UniqueHandle file = OpenForWriting(path, FILE_APPEND_DATA, OPEN_ALWAYS);
    WriteAll(file.Get(), content);
}

void TruncateFile(const std::wstring& path) {
    OpenForWriting(path, GENERIC_WRITE, CREATE_ALWAYS);
}

FolderLock::FolderLock(const std::wstring& folder)
    : m_mutex(CreateMutexW(nullptr, FALSE, MutexNameFor(folder).c_str())) {
    if (!m_mutex) {
        ThrowWin32("CreateMutexW");
    }
    const DWORD wait = WaitForSingleObject(m_mutex.Get(), INFINITE);
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        ThrowWin32("WaitForSingleObject");
    }
}

FolderLock::~FolderLock() {
    ReleaseMutex(m_mutex.Get());
}

}  // namespace sim
