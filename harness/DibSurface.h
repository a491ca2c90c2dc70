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

    bool Made() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // 0x00RRGGBB, rows top-down, Width() a row; GDI's drawing so far included.
    const DWORD* Pixels() const;

    COLORREF At(int x, int y) const;  // 0x00BBGGRR
    void Fill(COLORREF color);
    // Copies what the screen shows with its top left corner at `left`, `top`.
    void CopyScreen(int left, int top);

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    DWORD* bits_ = nullptr;
};

}  // namespace harness
