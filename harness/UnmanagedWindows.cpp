#include "UnmanagedWindows.h"

#include <windows.h>

namespace harness {

UnmanagedWindows::UnmanagedWindows(const std::wstring& program)
    : key_(L"Software\\Wine\\AppDefaults\\" + program + L"\\X11 Driver") {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), L"Managed", REG_SZ, L"N",
                      2 * sizeof(wchar_t));
}

UnmanagedWindows::~UnmanagedWindows() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.c_str(), L"Managed");
}

}  // namespace harness
