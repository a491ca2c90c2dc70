// A 32-bit top-down DIB section selected into a memory DC: GDI draws into it, and its pixels
// are read (and given to GDI+) directly.
#pragma once

#include <windows.h>

namespace harness {

class DibSurface {
public:
    DibSurface(int width, int height);
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    bool Made() const { return m_bits != nullptr; }
    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // 0x00RRGGBB, rows top-down, Width() a row; GDI's drawing so far included.
    const DWORD* Pixels() const;

    COLORREF At(int x, int y) const;  // 0x00BBGGRR
    void Fill(COLORREF color);
    // Copies what the screen shows with its top left corner at `left`, `top`.
    void CopyScreen(int left, int top);

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};

}  // namespace harness
