// The demo host of a sandbox, run as a separate process under a small debugger that collects
// its debugger-output traces. The test drives the host's windows from outside, as a user and
// the platform would.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Sandbox.h"

namespace testsupport {

class HostProcess {
public:
    // kWithoutDebugger runs the host as a plain process: no traces are collected. Under Wine 8
    // a C++ exception raised while a debugger is attached is unwound with a wrong frame
    // register (rbp), so a test of a failure that the module throws and catches needs it.
    enum class Launch { kWithTraces, kWithoutDebugger };

    // Starts <sandbox>\SettingHost.exe with `arguments`; its temporary folder is the
    // sandbox's, so its log file lands there.
    HostProcess(const Sandbox& sandbox, const std::wstring& arguments = L"/show",
                const std::wstring& program = L"SettingHost.exe",
                Launch launch = Launch::kWithTraces);
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return processId_; }

    // The process has ended within `ms`; its exit code is then ExitCode().
    bool WaitForExit(DWORD ms = 15000);
    DWORD ExitCode() const { return exitCode_; }
    bool Running() const { return !exited_; }
    // Ends the process at once.
    void Kill();

    // Traces written to the debugger output so far (without their line ends).
    std::vector<std::string> Traces() const;
    bool HasTrace(const std::string& text) const;
    bool WaitForTrace(const std::string& text, DWORD ms = 10000) const;

    // Visible top-level windows of the process.
    std::vector<HWND> Windows() const;
    // The first visible top-level dialog of the process that has a control `controlId`.
    HWND FindDialogWith(int controlId) const;
    HWND WaitForDialogWith(int controlId, DWORD ms = 15000) const;
    // The settings dialog (it has the protection switch 1038).
    HWND WaitForSettings(DWORD ms = 15000) const { return WaitForDialogWith(1038, ms); }
    // A platform message box of the process (a dialog with a static of id 0xFFFF).
    HWND FindMessageBox() const;
    HWND WaitForMessageBox(DWORD ms = 15000) const;

    // Waits until the host's thread has handled everything queued and waits for input.
    void Settle(DWORD ms = 5000) const;

private:
    void DebugLoop(std::wstring commandLine, std::wstring folder, std::wstring environment);
    void PlainRun(std::wstring commandLine, std::wstring folder, std::wstring environment);
    void AddTrace(std::string text);

    std::thread debugger_;
    mutable std::mutex mutex_;
    std::vector<std::string> traces_;
    HANDLE process_ = nullptr;  // owned; valid once started_
    DWORD processId_ = 0;
    std::atomic<bool> started_{false};
    std::atomic<bool> exited_{false};
    std::atomic<DWORD> exitCode_{STILL_ACTIVE};
    HANDLE startedEvent_ = nullptr;
};

// Polls `condition` until it holds or `ms` have passed.
template <class Condition>
bool WaitUntil(Condition condition, DWORD ms = 10000) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() > end) return false;
        ::Sleep(20);
    }
}

}  // namespace testsupport
