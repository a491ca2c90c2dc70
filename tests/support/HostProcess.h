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
    // Starts <sandbox>\<program> with `arguments`; its temporary folder is the sandbox's, so
    // its log file lands there. Its debugger-output traces are collected through the system's
    // debug-output monitor channel: no debugger is attached, so the host runs as it does for a
    // user. One monitor serves every host of the test program, from the first host on.
    HostProcess(const Sandbox& sandbox, const std::wstring& arguments = L"/show",
                const std::wstring& program = L"SettingHost.exe");
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return processId_; }

    // The process has ended within `ms`; its exit code is then ExitCode().
    bool WaitForExit(DWORD ms = 15000);
    DWORD ExitCode() const;
    bool Running() const;
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

    // A host started without /show shows its own window; this opens the settings from it, as
    // its button does, and returns the dialog once it is up and idle (null if it did not come).
    HWND OpenSettings(DWORD ms = 15000) const;
    // Ends an open settings dialog with the close request (nothing is saved) and waits until
    // it has gone.
    bool CloseSettings(HWND dialog, DWORD ms = 15000) const;
    // The host program's own window.
    HWND MainWindow() const;

private:
    HANDLE process_ = nullptr;  // owned
    DWORD processId_ = 0;
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
