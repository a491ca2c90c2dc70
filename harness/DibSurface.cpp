#include "DibSurface.h"

namespace harness {

DibSurface::DibSurface(int width, int height) : width_(width), height_(height) {
    dc_ = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) return;
    bits_ = static_cast<DWORD*>(bits);
    old_ = ::SelectObject(dc_, bitmap_);
}

DibSurface::~DibSurface() {
    if (old_) ::SelectObject(dc_, old_);
    if (bitmap_) ::DeleteObject(bitmap_);
    if (dc_) ::DeleteDC(dc_);
}

const DWORD* DibSurface::Pixels() const {
    ::GdiFlush();
    return bits_;
}

COLORREF DibSurface::At(int x, int y) const {
    const DWORD v = Pixels()[static_cast<size_t>(y) * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void DibSurface::Fill(COLORREF color) {
    const DWORD value = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    ::GdiFlush();
    for (size_t i = 0; i < static_cast<size_t>(width_) * height_; ++i)
        bits_[i] = value;
}

void DibSurface::CopyScreen(int left, int top) {
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(dc_, 0, 0, width_, height_, screen, left, top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
}

}  // namespace harness
