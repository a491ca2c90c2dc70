// What a screen reader hears of a window, asked as one asks from another process: through
// AccessibleObjectFromWindow (Active Accessibility, which the platform's UI Automation
// bridges), about the window's client object itself.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// COM for the calling thread while it lives (a screen reader's calls need it).
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_joined;
};

struct Heard {
    bool answered = false;  // an object came back
    std::wstring name;
    long role = 0;
    long state = 0;
    std::wstring value;
    std::wstring defaultAction;
};

Heard Hear(HWND window);
// The window's default action, as a screen reader's user asks for it; false when refused.
bool DoDefaultAction(HWND window);

}  // namespace testsupport
