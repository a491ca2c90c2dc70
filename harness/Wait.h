// Waiting for something another process or thread does.
#pragma once

#include <windows.h>

namespace harness {

// Polls `condition` until it holds (true) or `ms` have passed (false).
template <class Condition>
bool WaitUntil(Condition condition, DWORD ms = 10000) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() > end) return false;
        ::Sleep(20);
    }
}

}  // namespace harness
