// Handles, paths, whole-file reads and writes, and the per-folder lock of the simulated
// engine. Internal to the stand-ins; failures throw std::system_error with the Win32 code.
#pragma once

#include <windows.h>

#include <string>

namespace sim {

// Owns a kernel handle; both NULL and INVALID_HANDLE_VALUE mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept;
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    explicit operator bool() const {
        return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE;
    }
    HANDLE Release();
    void Reset(HANDLE handle = nullptr);

private:
    HANDLE m_handle = nullptr;
};

// Throws std::system_error carrying GetLastError() (or `code` when nonzero).
[[noreturn]] void ThrowWin32(const char* what, DWORD code = 0);

std::wstring ExecutableFolder();
std::wstring CurrentFolder();
std::wstring JoinPath(const std::wstring& folder, const wchar_t* name);

// Reads a whole file; false when it does not exist.
bool ReadWholeFile(const std::wstring& path, std::string& content);
// Replaces the file's content with one write.
void WriteWholeFile(const std::wstring& path, const std::string& content);
// Appends with one write on a handle opened for appending only, so concurrent writers
// (threads or processes) never interleave inside a line.
void AppendToFile(const std::wstring& path, const std::string& content);
void TruncateFile(const std::wstring& path);

// Holds the named mutex that guards one folder's state file and journal. The name comes
// from the folder's full, upper-cased path, so every process using the same folder shares
// it. Re-entrant within a thread; an abandoned mutex counts as acquired, since every file
// is written with a single write and cannot be left half-written.
class FolderLock {
public:
    explicit FolderLock(const std::wstring& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    UniqueHandle m_mutex;
};

}  // namespace sim
