// GDI+ started for as long as the object lives: a program that decodes or saves images (the
// module starts its own, counted, in the module's process).
#pragma once

#include <windows.h>

namespace harness {

class GdiPlusSession {
public:
    GdiPlusSession();
    ~GdiPlusSession();
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;

private:
    ULONG_PTR m_token = 0;
};

}  // namespace harness
