#include "Images.h"

namespace settingcheck {

ImageInfo InspectImage(const std::string& bytes, bool withPixels) {
    static const char* const kSignatures[][2] = {
        {"PNG", "\x89PNG\r\n\x1A\n"}, {"BMP", "BM"}, {"GIF", "GIF8"}, {"JPEG", "\xFF\xD8\xFF"}};
    ImageInfo info;
    for (const auto& signature : kSignatures)
        if (bytes.rfind(signature[1], 0) == 0) info.format = signature[0];
    if (bytes.empty()) {
        info.problem = "the file is empty";
    } else if (info.format.empty() && bytes.rfind("\x89PNG", 0) == 0) {
        info.problem = "the PNG signature is damaged (the file was changed as text)";
    } else {
        DecodeImage(bytes, info, withPixels);
        if (!info.ok && info.problem.empty())
            info.problem = info.format.empty()
                               ? "the file is not an image (neither PNG, BMP, GIF nor JPEG)"
                               : "the " + info.format + " file is damaged";
    }
    return info;
}

uint32_t ImageInfo::Pixel(int x, int y) const {
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

bool TooLarge(ImageInfo& info) {
    // Four times the 2048 x 2048 the module keeps decoded: decoding more would only cost the
    // checker's memory.
    constexpr uint64_t kMostPixels = uint64_t{1} << 24;
    if (static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height) <= kMostPixels)
        return false;
    info.ok = false;
    info.problem = "the image is " + std::to_string(info.width) + " x " +
                   std::to_string(info.height) + " pixels, far too large for a skin image";
    return true;
}

}  // namespace settingcheck
