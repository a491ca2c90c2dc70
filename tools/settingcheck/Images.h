// What the checker needs to know of a skin image: is it an image at all, can it be decoded,
// how large is it, at what resolution is it stored, and, when asked for, its pixels. Each
// build decodes it in full with one decoder: natively libpng and stb_image (ImagesNative.cpp),
// on Windows GDI+ as the module does (PlatformWindows.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace settingcheck {

struct ImageInfo {
    bool ok = false;
    std::string format;  // "PNG", "BMP", "GIF", "JPEG" or empty
    int width = 0;
    int height = 0;
    // Stored resolution in dots per inch, 0 when the file gives none (drawn as 96 dpi).
    double dpiX = 0, dpiY = 0;
    std::string problem;  // why it cannot be decoded
    // The decoded pixels when asked for: red, green, blue and alpha (0 transparent to 255
    // opaque, not premultiplied) of each pixel, row by row from the top.
    std::vector<uint8_t> rgba;

    // The pixel at (x, y), inside the image, as 0xAARRGGBB.
    uint32_t Pixel(int x, int y) const;
};

ImageInfo InspectImage(const std::string& bytes, bool withPixels = false);

// The build's decoder: decodes `bytes` in full into `info`, whose format the file's signature
// has named (empty for none); asks TooLarge once the size is known, before decoding the
// pixels; keeps them in `info.rgba` when `withPixels`; leaves the problem empty when
// "damaged" (or "not an image") says all it knows.
void DecodeImage(const std::string& bytes, ImageInfo& info, bool withPixels);

// True, with the problem set, when `info`'s size is far too large for a skin image.
bool TooLarge(ImageInfo& info);

}  // namespace settingcheck
