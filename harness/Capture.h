// The pixels of a window as they are on the screen.
#pragma once

#include <windows.h>

#include <vector>

namespace harness {

class Capture {
public:
    // The window's client area, or the whole window with its frame.
    explicit Capture(HWND window, bool clientOnly = true);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    COLORREF At(int x, int y) const;  // 0x00BBGGRR; CLR_INVALID outside
    // Count of pixels in the rectangle (client coordinates) of exactly `color`.
    int Count(const RECT& area, COLORREF color) const;
    // Count of pixels that differ from `other`'s (all of them when the sizes differ).
    int Differences(const Capture& other) const;

private:
    int m_width = 0, m_height = 0;
    std::vector<DWORD> m_pixels;  // 0x00RRGGBB rows top-down
};

}  // namespace harness
