#include "HostProcess.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <cstring>

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

// The debug-output channel of the system: a writer waits for "buffer ready", puts its process id
// and text into a shared buffer and signals "data ready". The monitor serves it for the whole
// life of the test program, so that no writer ever waits for a monitor that has gone.
class TraceMonitor {
public:
    static TraceMonitor& Instance() {
        static TraceMonitor monitor;
        return monitor;
    }

    std::vector<std::string> TracesOf(DWORD processId) const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> own;
        for (const auto& [pid, text] : traces_) {
            if (pid == processId) own.push_back(text);
        }
        return own;
    }

private:
    TraceMonitor() {
        buffer_ = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize,
                                       L"DBWIN_BUFFER");
        bufferReady_ = ::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
        dataReady_ = ::CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
        if (buffer_ && bufferReady_ && dataReady_)
            thread_ = std::thread(&TraceMonitor::Serve, this);
    }
    ~TraceMonitor() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        for (HANDLE h : {buffer_, bufferReady_, dataReady_}) {
            if (h) ::CloseHandle(h);
        }
    }

    void Serve() {
        const auto* view =
            static_cast<const char*>(::MapViewOfFile(buffer_, FILE_MAP_READ, 0, 0, kSize));
        if (!view) return;
        ::SetEvent(bufferReady_);
        while (!stop_) {
            if (::WaitForSingleObject(dataReady_, 50) != WAIT_OBJECT_0) continue;
            DWORD pid = 0;
            std::memcpy(&pid, view, sizeof pid);
            std::string text(view + sizeof pid, strnlen(view + sizeof pid, kSize - sizeof pid));
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                traces_.emplace_back(pid, std::move(text));
            }
            ::SetEvent(bufferReady_);
        }
        ::UnmapViewOfFile(view);
    }

    static constexpr DWORD kSize = 4096;
    HANDLE buffer_ = nullptr;
    HANDLE bufferReady_ = nullptr;
    HANDLE dataReady_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::pair<DWORD, std::string>> traces_;  // process id, text
};

}  // namespace

HostProcess::HostProcess(const Sandbox& sandbox, const std::wstring& arguments,
                         const std::wstring& program) {
    TraceMonitor::Instance();  // up before the host starts, so no trace of its start is missed
    const std::wstring commandLine = L"\"" + sandbox.PathOf(program) + L"\" " + arguments;
    std::wstring environment = EnvironmentWithTemp(sandbox.TempDir());
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                         environment.data(), sandbox.Dir().c_str(), &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
    }
}

HostProcess::~HostProcess() {
    if (Running()) Kill();
    if (process_) ::CloseHandle(process_);
}

bool HostProcess::Running() const {
    return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

DWORD HostProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) ::GetExitCodeProcess(process_, &code);
    return code;
}

bool HostProcess::WaitForExit(DWORD ms) {
    return process_ && ::WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

void HostProcess::Kill() {
    if (Running()) ::TerminateProcess(process_, 99);
    WaitForExit(10000);
}

std::vector<std::string> HostProcess::Traces() const {
    return TraceMonitor::Instance().TracesOf(processId_);
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

HWND HostProcess::MainWindow() const {
    for (HWND window : Windows()) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (wcscmp(name, L"SettingHostWindow") == 0) return window;
    }
    return nullptr;
}

HWND HostProcess::OpenSettings(DWORD ms) const {
    HWND window = nullptr;
    WaitUntil([&] { return (window = MainWindow()) != nullptr; }, ms);
    if (!window) return nullptr;
    constexpr int kSettingsButton = 100;
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(kSettingsButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, kSettingsButton)));
    return WaitForSettings(ms);
}

bool HostProcess::CloseSettings(HWND dialog, DWORD ms) const {
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !::IsWindow(dialog); }, ms);
}

void HostProcess::Settle(DWORD ms) const {
    if (Running()) ::WaitForInputIdle(process_, ms);
    ::Sleep(30);
}

}  // namespace testsupport
