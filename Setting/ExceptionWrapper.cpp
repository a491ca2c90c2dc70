#include "ExceptionWrapper.h"

#include <cstdarg>
#include <cwchar>
#include <new>

#include "Handles.h"
#include "HostPath.h"
#include "Text.h"

namespace {

constexpr DWORD kLogSizeLimit = 1048576;  // a larger log is emptied before the next line
constexpr size_t kLogPathCapacity = MAX_PATH;

text::Timestamp LocalTimestamp() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// %TEMP%\virget_<host executable name>.log, or empty when it does not fit a path buffer.
std::wstring BuildLogPath() {
    wchar_t temp[kLogPathCapacity];
    const DWORD length = ::GetTempPathW(kLogPathCapacity, temp);
    if (length == 0 || length >= kLogPathCapacity) return {};
    std::wstring path = std::wstring(temp, length) + L"virget_" + HostExecutableName() + L".log";
    if (path.size() >= kLogPathCapacity) return {};
    return path;
}

// Serialises appends of all writers of one log file, in every process, so that each record
// lands whole: a lock on one byte far beyond any real log size.
class LogFileLock {
public:
    explicit LogFileLock(HANDLE file) : m_file(file) {
        for (int attempt = 0; attempt < 200 && !m_locked; ++attempt) {
            OVERLAPPED at = Region();
            m_locked = ::LockFileEx(m_file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                    1, 0, &at) != FALSE;
            if (!m_locked) ::Sleep(5);
        }
    }
    ~LogFileLock() {
        if (!m_locked) return;
        OVERLAPPED at = Region();
        ::UnlockFileEx(m_file, 0, 1, 0, &at);
    }
    LogFileLock(const LogFileLock&) = delete;
    LogFileLock& operator=(const LogFileLock&) = delete;

private:
    static OVERLAPPED Region() {
        OVERLAPPED at{};
        at.OffsetHigh = 0x7FFFFFF0;
        return at;
    }
    HANDLE m_file;
    bool m_locked = false;
};

void AppendToLogFile(const std::wstring& path, const std::wstring& line) {
    if (path.empty() || line.empty()) return;
    ui::UniqueHandle file = ui::OwnFileHandle(::CreateFileW(
        path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;  // the line is lost; the log never reports about itself
    LogFileLock lock(file.get());
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(file.get(), &size) && size.QuadPart > kLogSizeLimit) {
        ::SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
        ::SetEndOfFile(file.get());
    }
    LARGE_INTEGER end{};
    ::SetFilePointerEx(file.get(), end, nullptr, FILE_END);
    DWORD written = 0;
    ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)),
                &written, nullptr);
}

std::wstring FormatTraceText(const wchar_t* format, va_list args) {
    if (!format) return {};
    // Room for the text as the 1024-character line leaves it after the time stamp.
    wchar_t buffer[text::kLogLineCapacity];
    const int written = _vsnwprintf(buffer, text::kLogLineCapacity - 1, format, args);
    buffer[text::kLogLineCapacity - 1] = L'\0';
    if (written >= 0) buffer[written] = L'\0';
    return buffer;
}

}  // namespace

void CExceptionWrapper::Prepare(int code, int line, const wchar_t* sourcePath) {
    m_nCode = code;
    m_nLine = line;
    if (sourcePath) {
        const wchar_t* name = sourcePath;
        for (const wchar_t* p = sourcePath; *p; ++p) {
            if (*p == L'\\' || *p == L'/') name = p + 1;
        }
        m_lpszSourceFile = name;
    }
    m_strLogPath = BuildLogPath();
}

CExceptionWrapper::CExceptionWrapper(int code, int line, const wchar_t* sourcePath) {
    Prepare(code, line, sourcePath);
    m_strMessage = text::ErrorLogLine(LocalTimestamp(), code, m_lpszSourceFile, line);
}

CExceptionWrapper::CExceptionWrapper(int line, const wchar_t* sourcePath, const wchar_t* format,
                                     ...) {
    Prepare(0, line, sourcePath);
    va_list args;
    va_start(args, format);
    const std::wstring formatted = FormatTraceText(format, args);
    va_end(args);
    m_strMessage = text::TraceLogLine(LocalTimestamp(), formatted);
}

void CExceptionWrapper::WriteLog(int flags) const {
    if (flags & kToDebugger) ::OutputDebugStringW(m_strMessage.c_str());
    if (flags & kToLogFile) AppendToLogFile(m_strLogPath, m_strMessage);
}

void LogCaughtException(int line, const wchar_t* sourcePath) noexcept {
    try {
        throw;
    } catch (const CExceptionWrapper& error) {
        error.WriteLog(CExceptionWrapper::kToLogFile);
    } catch (const std::bad_alloc&) {
        LogError(8, line, sourcePath);
    } catch (...) {
    }
}

void LogError(int code, int line, const wchar_t* sourcePath) noexcept {
    try {
        CExceptionWrapper(code, line, sourcePath).WriteLog(CExceptionWrapper::kToLogFile);
    } catch (...) {
    }
}

void LogTrace(int line, const wchar_t* sourcePath, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const std::wstring formatted = FormatTraceText(format, args);
    va_end(args);
    CExceptionWrapper trace(line, sourcePath, L"%s", formatted.c_str());
    trace.WriteLog(CExceptionWrapper::kToLogFile);
}
