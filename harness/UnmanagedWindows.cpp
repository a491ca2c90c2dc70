#include "UnmanagedWindows.h"

#include <windows.h>

namespace harness {

UnmanagedWindows::UnmanagedWindows(const std::wstring& program)
    : m_key(L"Software\\Wine\\AppDefaults\\" + program + L"\\X11 Driver") {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), L"Managed", REG_SZ, L"N",
                      2 * sizeof(wchar_t));
}

UnmanagedWindows::~UnmanagedWindows() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), L"Managed");
}

}  // namespace harness
