// Skin images made by the tests themselves: 24-bit BMP files at 96 dpi whose every pixel is
// known, so that what the module paints can be compared pixel by pixel. GDI+ recognises the
// format from the content, so such a file may stand in for a .png of the skin as well.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

// Colour of the image's pixel (x, y), as 0x00BBGGRR.
using PixelFunction = std::function<COLORREF(int x, int y)>;

inline std::string Bmp24(int width, int height, const PixelFunction& pixel) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    // 96 dpi: GDI+ draws the image 1:1 only at the display's resolution.
    info.biXPelsPerMeter = info.biYPelsPerMeter = 3780;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = height - 1; y >= 0; --y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < width; ++x) {
            const COLORREF color = pixel(x, y);
            row[x * 3] = static_cast<char>(GetBValue(color));
            row[x * 3 + 1] = static_cast<char>(GetGValue(color));
            row[x * 3 + 2] = static_cast<char>(GetRValue(color));
        }
        bytes += row;
    }
    return bytes;
}

inline std::string SolidBmp24(int width, int height, COLORREF color) {
    return Bmp24(width, height, [color](int, int) { return color; });
}

// A title band (60 x 30) whose every pixel tells its own column and row: red from the column,
// green from the row, blue a constant. All light enough that black text stands out on it.
inline COLORREF TitleBandPixel(int x, int y) {
    return RGB(0x80 + x * 2, 0x90 + y * 3, 0xE0);
}
inline std::string TitleBandBmp() {
    return Bmp24(60, 30, &TitleBandPixel);
}

// What the frame painter puts at (x, y < 30) of a window `width` wide when the band image is
// TitleBandBmp(): left end (0..29 of the image) at 0, middle (20..39) from x = 20 every 20
// pixels, right end (40..59) at width - 20.
inline COLORREF ExpectedBandPixel(int x, int y, int width) {
    if (x >= width - 20) return TitleBandPixel(40 + x - (width - 20), y);
    if (x >= 20) return TitleBandPixel(20 + (x - 20) % 20, y);
    return TitleBandPixel(x, y);
}

// A nine-slice group frame (21 x 21) whose every pixel has a colour of its own: red from the
// column, green from the row, blue from the 6 x 6 piece it belongs to.
inline COLORREF FramePixel(int x, int y) {
    const int column = x < 6 ? 0 : (x < 15 ? 1 : 2);
    const int row = y < 6 ? 0 : (y < 15 ? 1 : 2);
    return RGB(0x20 + x * 8, 0x20 + y * 8, 0x30 + (row * 3 + column) * 0x18);
}
inline std::string FrameBmp() {
    return Bmp24(21, 21, &FramePixel);
}

}  // namespace testsupport
