#include "Process.h"

#include <vector>

namespace harness {

Process::Process(const std::wstring& commandLine, const std::wstring& folder,
                 std::wstring environment) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                         environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
                         environment.empty() ? nullptr : environment.data(),
                         folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        ::CloseHandle(info.hThread);
        m_handle = info.hProcess;
        m_id = info.dwProcessId;
    }
}

Process::~Process() {
    if (Running()) Kill(99);
    if (m_handle) ::CloseHandle(m_handle);
}

bool Process::Running() const {
    return m_handle && ::WaitForSingleObject(m_handle, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD ms) const {
    return m_handle && ::WaitForSingleObject(m_handle, ms) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_handle) ::GetExitCodeProcess(m_handle, &code);
    return code;
}

void Process::WaitForInputIdle(DWORD ms) const {
    if (Running()) ::WaitForInputIdle(m_handle, ms);
}

void Process::Kill(UINT code) {
    if (Running()) ::TerminateProcess(m_handle, code);
    WaitForExit(10000);
}

}  // namespace harness
