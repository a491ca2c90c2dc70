#include "HostPath.h"

#include <windows.h>

#include <vector>

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
