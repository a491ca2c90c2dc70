#include "HostPath.h"

#include <windows.h>

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
