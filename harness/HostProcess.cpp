#include "HostProcess.h"

#include <algorithm>
#include <cwchar>

#include "HostProtocol.h"
#include "Ui.h"
#include "Wait.h"
#include "resource.h"

namespace harness {
namespace {

// This program's environment with TMP and TEMP pointing to `temp`, and without the simulated
// engine's folder: the stand-ins then keep their state beside the host they run in.
std::wstring EnvironmentWithTemp(const std::wstring& temp) {
    std::wstring block;
    wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* p = current; *p; p += wcslen(p) + 1) {
        if (_wcsnicmp(p, L"TMP=", 4) == 0 || _wcsnicmp(p, L"TEMP=", 5) == 0 ||
            _wcsnicmp(p, L"PELLUCIDSIM_FOLDER=", 19) == 0) {
            continue;
        }
        block += p;
        block += L'\0';
    }
    ::FreeEnvironmentStringsW(current);
    block += L"TMP=" + temp + L'\0';
    block += L"TEMP=" + temp + L'\0';
    block += L'\0';
    return block;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

bool IsDialog(HWND window) {
    return ClassOf(window) == L"#32770";
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == search->processId && ::IsWindowVisible(window)) search->windows.push_back(window);
    return TRUE;
}

}  // namespace

HostProcess::HostProcess(const ProductFolder& folder, const std::wstring& arguments,
                         const std::wstring& program)
    : m_process(L"\"" + folder.PathOf(program) + L"\" " + arguments, folder.Dir(),
                EnvironmentWithTemp(folder.TempDir())) {}

std::vector<std::string> HostProcess::Traces() const {
    return m_monitor.TracesOf(m_process.Id());
}

bool HostProcess::HasTrace(const std::string& text) const {
    const std::vector<std::string> own = Traces();
    return std::any_of(own.begin(), own.end(),
                       [&](const std::string& t) { return t.find(text) != std::string::npos; });
}

bool HostProcess::WaitForTrace(const std::string& text, DWORD ms) const {
    return WaitUntil([&] { return HasTrace(text); }, ms);
}

std::vector<HWND> HostProcess::Windows() const {
    WindowSearch search{m_process.Id(), {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND HostProcess::FindWindowWhere(const std::function<bool(HWND)>& matches) const {
    for (HWND window : Windows()) {
        if (matches(window)) return window;
    }
    return nullptr;
}

HWND HostProcess::FindDialogWith(int controlId) const {
    return FindWindowWhere(
        [&](HWND window) { return IsDialog(window) && ::GetDlgItem(window, controlId); });
}

HWND HostProcess::WaitForDialogWith(int controlId, DWORD ms) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialogWith(controlId)) != nullptr; }, ms);
    if (found) Settle();
    return found;
}

HWND HostProcess::FindWindowShowing(int controlId) const {
    return FindWindowWhere([&](HWND window) {
        HWND control = ::GetDlgItem(window, controlId);
        return control && ::IsWindowVisible(control);
    });
}

HWND HostProcess::WaitForSettings(DWORD ms) const {
    return WaitForDialogWith(IDC_CHECK_PROTECT, ms);
}

HWND HostProcess::FindMessageBox() const {
    return FindDialogWith(0xFFFF);
}

HWND HostProcess::WaitForMessageBox(DWORD ms) const {
    return WaitForDialogWith(0xFFFF, ms);
}

HWND HostProcess::MainWindow() const {
    return FindWindowWhere([](HWND window) { return ClassOf(window) == host::kWindowClass; });
}

HWND HostProcess::OpenSettings(DWORD ms) const {
    HWND window = nullptr;
    WaitUntil([&] { return (window = MainWindow()) != nullptr; }, ms);
    if (!window) return nullptr;
    PostCommand(window, host::kSettingsButton);
    return WaitForSettings(ms);
}

bool HostProcess::CloseSettings(HWND dialog, DWORD ms) const {
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !::IsWindow(dialog); }, ms);
}

void HostProcess::Settle(DWORD pauseMs) const {
    m_process.WaitForInputIdle(5000);
    ::Sleep(pauseMs);
}

}  // namespace harness
