#include "DibSurface.h"

namespace harness {

DibSurface::DibSurface(int width, int height) : m_width(width), m_height(height) {
    m_dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_bitmap) return;
    m_bits = static_cast<DWORD*>(bits);
    m_old = ::SelectObject(m_dc, m_bitmap);
}

DibSurface::~DibSurface() {
    if (m_old) ::SelectObject(m_dc, m_old);
    if (m_bitmap) ::DeleteObject(m_bitmap);
    if (m_dc) ::DeleteDC(m_dc);
}

const DWORD* DibSurface::Pixels() const {
    ::GdiFlush();
    return m_bits;
}

COLORREF DibSurface::At(int x, int y) const {
    const DWORD v = Pixels()[static_cast<size_t>(y) * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void DibSurface::Fill(COLORREF color) {
    const DWORD value = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    ::GdiFlush();
    for (size_t i = 0; i < static_cast<size_t>(m_width) * m_height; ++i)
        m_bits[i] = value;
}

void DibSurface::CopyScreen(int left, int top) {
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(m_dc, 0, 0, m_width, m_height, screen, left, top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
}

}  // namespace harness
