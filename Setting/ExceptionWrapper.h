// The module's error object: an error code with its source position and a time-stamped line
// that is ready for the diagnostic log. Raised errors are thrown (by value) and written to
// the log where they are caught; the same class also writes plain trace lines.
#pragma once

#include <windows.h>

#include <string>

// Wide name of the current source file, for the error and trace constructors.
#define SETTING_WIDEN2(x) L##x
#define SETTING_WIDEN(x) SETTING_WIDEN2(x)
#define WFILE SETTING_WIDEN(__FILE__)

// Raises an error with `code` at the current source position.
#define RAISE_ERROR(code) throw CExceptionWrapper((code), __LINE__, WFILE)

class CExceptionWrapper {
public:
    static constexpr int kToDebugger = 1;
    static constexpr int kToLogFile = 2;

    // Error form: "Error = <code> (File=<name>,Line=<line>)".
    CExceptionWrapper(int code, int line, const wchar_t* sourcePath);
    // Trace form: code 0; the text is `format` filled printf-style (%s takes a UTF-16 string).
    CExceptionWrapper(int line, const wchar_t* sourcePath, const wchar_t* format, ...);
    virtual ~CExceptionWrapper() = default;

    // Bit kToDebugger sends the line to the debugger output, bit kToLogFile appends it to
    // the log file. Never fails visibly.
    void WriteLog(int flags) const;

    int Code() const { return m_nCode; }
    int Line() const { return m_nLine; }
    const wchar_t* SourceFileName() const { return m_lpszSourceFile; }
    const std::wstring& Message() const { return m_strMessage; }
    const std::wstring& LogPath() const { return m_strLogPath; }

private:
    void Prepare(int code, int line, const wchar_t* sourcePath);

    const wchar_t* m_lpszSourceFile = L"";  // points into the creator's (literal) path
    std::wstring m_strMessage;              // the whole line, "\r\n" included
    std::wstring m_strLogPath;              // empty when it cannot be built
    int m_nLine = 0;
    int m_nCode = 0;
};

// For catch blocks: writes the exception being handled to the log. A CExceptionWrapper is
// written as it is; an allocation failure becomes an error with code 8 at `line` of `file`.
void LogCaughtException(int line, const wchar_t* sourcePath) noexcept;
#define LOG_CAUGHT_EXCEPTION() LogCaughtException(__LINE__, WFILE)

// Writes an error with `code` at `line` of `sourcePath` to the log: what a failure that is
// reported and then passed over leaves behind.
void LogError(int code, int line, const wchar_t* sourcePath) noexcept;
#define LOG_ERROR(code) LogError((code), __LINE__, WFILE)

// Appends one trace line to the log ("app =%s,..." style traces of the module).
void LogTrace(int line, const wchar_t* sourcePath, const wchar_t* format, ...);
