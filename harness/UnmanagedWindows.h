// Without a window manager, Wine waits two seconds for every managed window it hides, which
// would make hundreds of openings take minutes. A program of a name of its own (a copy of the
// demo host, for example) gets unmanaged windows for as long as this object lives; the module
// runs in it as it does anywhere else.
#pragma once

#include <string>

namespace harness {

class UnmanagedWindows {
public:
    explicit UnmanagedWindows(const std::wstring& program);
    ~UnmanagedWindows();
    UnmanagedWindows(const UnmanagedWindows&) = delete;
    UnmanagedWindows& operator=(const UnmanagedWindows&) = delete;

private:
    std::wstring m_key;
};

}  // namespace harness
