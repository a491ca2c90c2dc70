#include "Process.h"

#include <vector>

#include "Handles.h"

namespace {
// Waits for a process, answering messages sent to this thread so that no other window that
// talks to it can hang while the program runs.
void WaitForProcess(HANDLE process) {
    while (::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
}  // namespace

DWORD RunProgram(const std::wstring& program, const std::wstring& commandLine,
                 const std::wstring& folder, bool show, bool wait) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show ? SW_SHOWDEFAULT : SW_HIDE;
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.empty() ? nullptr : line.data(), nullptr,
                          nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        return ::GetLastError();
    }
    ui::UniqueHandle processHandle(process.hProcess);
    ui::UniqueHandle threadHandle(process.hThread);
    if (wait) WaitForProcess(process.hProcess);
    return 0;
}

LONG ReadRegString(HKEY root, const wchar_t* subKey, const wchar_t* valueName, wchar_t* buffer,
                   DWORD bufferBytes) {
    if (!subKey || !valueName || !buffer) return ERROR_INVALID_PARAMETER;
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS) return result;
    DWORD type = 0;
    DWORD size = bufferBytes;
    result =
        ::RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ &&
        type != REG_MULTI_SZ) {
        result = ERROR_BADKEY;
    }
    ::RegCloseKey(key);
    return result;
}
