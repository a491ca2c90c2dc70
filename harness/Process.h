// A program started by this one, ended when the object goes if it still runs.
#pragma once

#include <windows.h>

#include <string>

namespace harness {

class Process {
public:
    // Starts `commandLine` in `folder` (this program's current folder when empty) with
    // `environment`: a block of "NAME=value\0" entries ending with "\0" (this program's own
    // environment when empty).
    explicit Process(const std::wstring& commandLine, const std::wstring& folder = L"",
                     std::wstring environment = L"");
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return m_handle != nullptr; }
    DWORD Id() const { return m_id; }
    bool Running() const;
    // The process has ended within `ms`; its exit code is then ExitCode().
    bool WaitForExit(DWORD ms) const;
    DWORD ExitCode() const;  // STILL_ACTIVE while it runs
    // Waits until its main thread waits for input with nothing queued, at most `ms`.
    void WaitForInputIdle(DWORD ms) const;
    // Ends it at once with exit code `code` and waits until it has gone.
    void Kill(UINT code);

private:
    HANDLE m_handle = nullptr;  // owned
    DWORD m_id = 0;
};

}  // namespace harness
