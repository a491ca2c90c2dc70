#include "HostProcess.h"

#include <algorithm>

namespace testsupport {
namespace {

// The environment of the test with TMP and TEMP pointing into the sandbox.
std::wstring EnvironmentWithTemp(const std::wstring& temp) {
    std::wstring block;
    wchar_t* current = ::GetEnvironmentStringsW();
    for (const wchar_t* p = current; *p; p += wcslen(p) + 1) {
        const std::wstring entry = p;
        if (_wcsnicmp(p, L"TMP=", 4) == 0 || _wcsnicmp(p, L"TEMP=", 5) == 0 ||
            _wcsnicmp(p, L"PELLUCIDSIM_FOLDER=", 19) == 0) {
            continue;
        }
        block += entry;
        block += L'\0';
    }
    ::FreeEnvironmentStringsW(current);
    block += L"TMP=" + temp + L'\0';
    block += L"TEMP=" + temp + L'\0';
    block += L'\0';
    return block;
}

std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    const size_t unit = info.fUnicode ? 2 : 1;
    std::vector<char> bytes(static_cast<size_t>(info.nDebugStringLength) * unit, '\0');
    SIZE_T read = 0;
    ::ReadProcessMemory(process, info.lpDebugStringData, bytes.data(), bytes.size(), &read);
    if (!info.fUnicode) return std::string(bytes.data(), strnlen(bytes.data(), read));
    std::wstring wide(reinterpret_cast<const wchar_t*>(bytes.data()),
                      wcsnlen(reinterpret_cast<const wchar_t*>(bytes.data()), read / 2));
    std::string narrow(wide.size() * 3 + 1, '\0');
    const int length =
        ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), narrow.data(),
                              static_cast<int>(narrow.size()), nullptr, nullptr);
    narrow.resize(std::max(length, 0));
    return narrow;
}

struct FindContext {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    auto* context = reinterpret_cast<FindContext*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == context->processId && ::IsWindowVisible(hwnd)) context->windows.push_back(hwnd);
    return TRUE;
}

bool IsDialog(HWND hwnd) {
    wchar_t name[32] = {};
    ::GetClassNameW(hwnd, name, 32);
    return wcscmp(name, L"#32770") == 0;
}

}  // namespace

HostProcess::HostProcess(const Sandbox& sandbox, const std::wstring& arguments,
                         const std::wstring& program, Launch launch) {
    startedEvent_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const std::wstring commandLine = L"\"" + sandbox.PathOf(program) + L"\" " + arguments;
    debugger_ = std::thread(
        launch == Launch::kWithTraces ? &HostProcess::DebugLoop : &HostProcess::PlainRun, this,
        commandLine, sandbox.Dir(), EnvironmentWithTemp(sandbox.TempDir()));
    ::WaitForSingleObject(startedEvent_, 30000);
}

HostProcess::~HostProcess() {
    if (started_ && !exited_) Kill();
    if (debugger_.joinable()) debugger_.join();
    if (process_) ::CloseHandle(process_);
    ::CloseHandle(startedEvent_);
}

// The debugger thread: it must be the thread that created the process.
void HostProcess::DebugLoop(std::wstring commandLine, std::wstring folder,
                            std::wstring environment) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                          DEBUG_ONLY_THIS_PROCESS | CREATE_UNICODE_ENVIRONMENT, environment.data(),
                          folder.c_str(), &startup, &info)) {
        exited_ = true;
        ::SetEvent(startedEvent_);
        return;
    }
    ::CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    started_ = true;
    ::SetEvent(startedEvent_);

    DEBUG_EVENT event{};
    while (::WaitForDebugEvent(&event, INFINITE)) {
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case OUTPUT_DEBUG_STRING_EVENT:
                AddTrace(ReadDebugString(process_, event.u.DebugString));
                break;
            case EXCEPTION_DEBUG_EVENT:
                // The host's own exceptions (the module raises and catches its errors) go back
                // to it untouched; only the initial breakpoint is the debugger's.
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
                    status = DBG_EXCEPTION_NOT_HANDLED;
                }
                break;
            case CREATE_PROCESS_DEBUG_EVENT:
                if (event.u.CreateProcessInfo.hFile) ::CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile) ::CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                exitCode_ = event.u.ExitProcess.dwExitCode;
                exited_ = true;
                break;
            default:
                break;
        }
        ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (exited_) break;
    }
}

// The same start without the debugger; the thread only waits for the end.
void HostProcess::PlainRun(std::wstring commandLine, std::wstring folder,
                           std::wstring environment) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                          environment.data(), folder.c_str(), &startup, &info)) {
        exited_ = true;
        ::SetEvent(startedEvent_);
        return;
    }
    ::CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    started_ = true;
    ::SetEvent(startedEvent_);
    ::WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process_, &code);
    exitCode_ = code;
    exited_ = true;
}

void HostProcess::AddTrace(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    std::lock_guard<std::mutex> lock(mutex_);
    traces_.push_back(std::move(text));
}

bool HostProcess::WaitForExit(DWORD ms) {
    return WaitUntil([this] { return exited_.load(); }, ms);
}

void HostProcess::Kill() {
    if (process_ && !exited_) ::TerminateProcess(process_, 99);
    WaitForExit(10000);
}

std::vector<std::string> HostProcess::Traces() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return traces_;
}

bool HostProcess::HasTrace(const std::string& text) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(traces_.begin(), traces_.end(),
                       [&](const std::string& t) { return t.find(text) != std::string::npos; });
}

bool HostProcess::WaitForTrace(const std::string& text, DWORD ms) const {
    return WaitUntil([&] { return HasTrace(text); }, ms);
}

std::vector<HWND> HostProcess::Windows() const {
    FindContext context{processId_, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&context));
    return context.windows;
}

HWND HostProcess::FindDialogWith(int controlId) const {
    for (HWND hwnd : Windows()) {
        if (IsDialog(hwnd) && ::GetDlgItem(hwnd, controlId)) return hwnd;
    }
    return nullptr;
}

HWND HostProcess::WaitForDialogWith(int controlId, DWORD ms) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialogWith(controlId)) != nullptr; }, ms);
    if (found) Settle();
    return found;
}

HWND HostProcess::FindMessageBox() const {
    return FindDialogWith(0xFFFF);
}

HWND HostProcess::WaitForMessageBox(DWORD ms) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindMessageBox()) != nullptr; }, ms);
    if (found) Settle();
    return found;
}

void HostProcess::Settle(DWORD ms) const {
    if (process_ && !exited_) ::WaitForInputIdle(process_, ms);
    ::Sleep(30);
}

}  // namespace testsupport
