#include "GdiPlusSession.h"

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

namespace harness {

GdiPlusSession::GdiPlusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiPlusSession::~GdiPlusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

}  // namespace harness
