#include "Capture.h"

#include <algorithm>

#include "DibSurface.h"

namespace harness {

Capture::Capture(HWND window, bool clientOnly) {
    RECT rc{};
    if (clientOnly) {
        ::GetClientRect(window, &rc);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    } else {
        ::GetWindowRect(window, &rc);
    }
    width_ = rc.right - rc.left;
    height_ = rc.bottom - rc.top;
    if (width_ <= 0 || height_ <= 0) return;
    DibSurface surface(width_, height_);
    if (!surface.Made()) return;
    surface.CopyScreen(rc.left, rc.top);
    const DWORD* pixels = surface.Pixels();
    pixels_.assign(pixels, pixels + static_cast<size_t>(width_) * height_);
}

COLORREF Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels_.empty()) return CLR_INVALID;
    const DWORD rgb = pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF;
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int Capture::Count(const RECT& area, COLORREF color) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            count += At(x, y) == color ? 1 : 0;
    }
    return count;
}

int Capture::Differences(const Capture& other) const {
    if (width_ != other.width_ || height_ != other.height_)
        return std::max(width_ * height_, other.width_ * other.height_);
    int count = 0;
    for (size_t i = 0; i < pixels_.size(); ++i)
        count += (pixels_[i] & 0xFFFFFF) != (other.pixels_[i] & 0xFFFFFF);
    return count;
}

}  // namespace harness
