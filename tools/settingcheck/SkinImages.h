// The skin images the module draws and what it cuts from each, in the words the checker's
// findings and the key reference give a skin designer; the numbers are the module's own
// (SkinGeometry.h).
#pragma once

#include <string>
#include <vector>

namespace settingcheck {

// An image at a fixed place under the program's folder.
struct FixedImage {
    std::wstring path;  // relative, with its leading backslash, as the module writes it
    int minWidth, minHeight;
    std::string use;
};
std::vector<FixedImage> FixedImages();

// "its cell x 20 to 49, y 0 to 24": what the close box cuts from its image.
std::string CloseBoxCell();

// "50 x 25"
std::string Size(int width, int height);

}  // namespace settingcheck
