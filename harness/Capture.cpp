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
    m_width = rc.right - rc.left;
    m_height = rc.bottom - rc.top;
    if (m_width <= 0 || m_height <= 0) return;
    DibSurface surface(m_width, m_height);
    if (!surface.Made()) return;
    surface.CopyScreen(rc.left, rc.top);
    const DWORD* pixels = surface.Pixels();
    m_pixels.assign(pixels, pixels + static_cast<size_t>(m_width) * m_height);
}

COLORREF Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_pixels.empty()) return CLR_INVALID;
    const DWORD rgb = m_pixels[static_cast<size_t>(y) * m_width + x] & 0xFFFFFF;
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
    if (m_width != other.m_width || m_height != other.m_height)
        return std::max(m_width * m_height, other.m_width * other.m_height);
    int count = 0;
    for (size_t i = 0; i < m_pixels.size(); ++i)
        count += (m_pixels[i] & 0xFFFFFF) != (other.m_pixels[i] & 0xFFFFFF);
    return count;
}

}  // namespace harness
