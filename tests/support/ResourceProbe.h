// The demo host's resource probe (/probe FILE) as tests read it, and the window setting a
// probe host needs under Xvfb.
#pragma once

#include <windows.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

namespace testsupport {

struct ProbeValues {
    unsigned long long gdiSlot = 0;
    unsigned long long handle = 0;
    unsigned long long workingSet = 0;
    unsigned long long committed = 0;
};

// "<stage> gdi=<slot> handle=<value> workingset=<bytes> committed=<bytes>" lines, by stage.
inline std::map<std::string, ProbeValues> ParseProbes(const std::string& text) {
    std::map<std::string, ProbeValues> probes;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        char stage[32] = {};
        ProbeValues v;
        if (std::sscanf(line.c_str(), "%31s gdi=%llu handle=%llu workingset=%llu committed=%llu",
                        stage, &v.gdiSlot, &v.handle, &v.workingSet, &v.committed) == 5) {
            probes[stage] = v;
        }
    }
    return probes;
}

// Without a window manager, Wine waits two seconds for every managed window it hides, which
// would make hundreds of openings take minutes. A probe host (a copy of the demo host under
// its own name) gets unmanaged windows for as long as this object lives; the module runs as it
// does anywhere else.
class UnmanagedWindows {
public:
    explicit UnmanagedWindows(const std::wstring& program)
        : key_(L"Software\\Wine\\AppDefaults\\" + program + L"\\X11 Driver") {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), L"Managed", REG_SZ, L"N",
                          2 * sizeof(wchar_t));
    }
    ~UnmanagedWindows() { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key_.c_str(), L"Managed"); }
    UnmanagedWindows(const UnmanagedWindows&) = delete;
    UnmanagedWindows& operator=(const UnmanagedWindows&) = delete;

private:
    std::wstring key_;
};

}  // namespace testsupport
