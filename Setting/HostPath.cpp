#include "HostPath.h"

#include <windows.h>

#include <vector>

#include "ExceptionWrapper.h"

std::wstring HostExecutablePath() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A full buffer means the path was cut: refuse it rather than use a wrong folder.
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(path, length);
}

std::wstring HostDirectory() {
    std::wstring path = HostExecutablePath();
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    path.resize(slash);
    return path;
}

std::wstring HostExecutableName() {
    // The name alone is short; only the folder before it may be long.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size) {
            const std::wstring full(path.data(), length);
            const size_t slash = full.find_last_of(L"\\/");
            return slash == std::wstring::npos ? full : full.substr(slash + 1);
        }
        if (size >= 32768) return {};
        path.resize(size * 2);
    }
}

void ReportUnusableHostFolder() {
    const std::wstring name = HostExecutableName();
    constexpr wchar_t kFormat[] =
        L"the host program's folder cannot be used: the path of %s does not fit %d characters; "
        L"Setting.ini, the skin and the tools beside it are not read";
    LogTrace(__LINE__, WFILE, kFormat, name.c_str(), MAX_PATH - 1);
    wchar_t trace[512];
    _snwprintf(trace, 511, kFormat, name.c_str(), MAX_PATH - 1);
    trace[511] = L'\0';
    ::OutputDebugStringW(trace);
}

bool CheckConfigFile(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    const DWORD error = ::GetLastError();
    LogTrace(__LINE__, WFILE,
             L"configuration file %s cannot be read (error %u); its texts and places read as empty",
             path.c_str(), static_cast<unsigned>(error));
    return false;
}
