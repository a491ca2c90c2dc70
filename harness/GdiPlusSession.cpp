#include "GdiPlusSession.h"

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

namespace harness {

GdiPlusSession::GdiPlusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

GdiPlusSession::~GdiPlusSession() {
    if (m_token) Gdiplus::GdiplusShutdown(m_token);
}

}  // namespace harness
