// What the checker needs to know of a skin image: is it an image at all, can it be decoded,
// how large is it, and at what resolution is it stored. PNG files are checked in full
// (signature, header, every chunk's CRC, the end chunk, and, where zlib is available, the
// image data inflated to the size the header promises); BMP files by their headers and the
// size of their pixel data; GIF and JPEG files by the size in their headers.
#pragma once

#include <cstdint>
#include <string>

namespace settingcheck {

struct ImageInfo {
    bool ok = false;
    std::string format;  // "PNG", "BMP", "GIF", "JPEG" or empty
    int width = 0;
    int height = 0;
    // Stored resolution in dots per inch, 0 when the file gives none (drawn as 96 dpi).
    double dpiX = 0, dpiY = 0;
    std::string problem;  // why it cannot be decoded
};

ImageInfo InspectImage(const std::string& bytes);

// True when this build inflates PNG data (natively with zlib).
bool InflatesPngData();

}  // namespace settingcheck
