// The demo host of a product folder, run as a separate process whose debugger-output traces
// are collected (TraceMonitor.h). The caller drives the host's windows from outside, as a user
// and the platform would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Process.h"
#include "ProductFolder.h"
#include "TraceMonitor.h"

namespace harness {

class HostProcess {
public:
    // Starts <folder>\<program> with `arguments`; its temporary folder is the product folder's,
    // so its log file lands there, and the simulated engine keeps its state beside it.
    HostProcess(const ProductFolder& folder, const std::wstring& arguments = L"/show",
                const std::wstring& program = L"SettingHost.exe");

    bool Started() const { return m_process.Started(); }
    DWORD Id() const { return m_process.Id(); }

    // The process has ended within `ms`; its exit code is then ExitCode().
    bool WaitForExit(DWORD ms = 15000) const { return m_process.WaitForExit(ms); }
    DWORD ExitCode() const { return m_process.ExitCode(); }
    bool Running() const { return m_process.Running(); }
    // Ends the process at once.
    void Kill() { m_process.Kill(99); }

    // Traces written to the debugger output so far (without their line ends).
    std::vector<std::string> Traces() const;
    bool HasTrace(const std::string& text) const;
    bool WaitForTrace(const std::string& text, DWORD ms = 10000) const;

    // Visible top-level windows of the process.
    std::vector<HWND> Windows() const;
    // The first of them for which `matches` holds; null when none does.
    HWND FindWindowWhere(const std::function<bool(HWND)>& matches) const;
    // The first visible top-level dialog of the process that has a control `controlId`.
    HWND FindDialogWith(int controlId) const;
    HWND WaitForDialogWith(int controlId, DWORD ms = 15000) const;
    // The first visible top-level window of the process whose control `controlId` is visible:
    // the message dialog shows only the buttons of its mode.
    HWND FindWindowShowing(int controlId) const;
    // The settings dialog (it has the protection switch).
    HWND WaitForSettings(DWORD ms = 15000) const;
    // A platform message box of the process (a dialog with a static of id 0xFFFF).
    HWND FindMessageBox() const;
    HWND WaitForMessageBox(DWORD ms = 15000) const;

    // Waits until the host's thread has handled everything queued and waits for input, then
    // `pauseMs` more for what that set off (painting).
    void Settle(DWORD pauseMs = 30) const;

    // A host started without /show shows its own window; this opens the settings from it, as
    // its button does, and returns the dialog once it is up and idle (null if it did not come).
    HWND OpenSettings(DWORD ms = 15000) const;
    // Ends an open settings dialog with the close request (nothing is saved) and waits until
    // it has gone.
    bool CloseSettings(HWND dialog, DWORD ms = 15000) const;
    // The host program's own window.
    HWND MainWindow() const;

private:
    TraceMonitor& m_monitor = TraceMonitor::Instance();  // up before the process starts
    Process m_process;
};

}  // namespace harness
