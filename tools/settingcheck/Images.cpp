#include "Images.h"

#include <array>
#include <vector>

#ifdef SETTINGCHECK_HAVE_ZLIB
#include <zlib.h>
#endif

namespace settingcheck {

namespace {

uint32_t Be32(const std::string& b, size_t at) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(b[at])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3]));
}
uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           (static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8) |
           (static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24);
}
uint16_t Le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                                 (static_cast<unsigned char>(b[at + 1]) << 8));
}
uint16_t Be16(const std::string& b, size_t at) {
    return static_cast<uint16_t>((static_cast<unsigned char>(b[at]) << 8) |
                                 static_cast<unsigned char>(b[at + 1]));
}

uint32_t Crc32(const std::string& bytes, size_t from, size_t length) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < from + length; ++i)
        c = table[(c ^ static_cast<unsigned char>(bytes[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

constexpr double kMetresPerInch = 0.0254;

ImageInfo Fail(ImageInfo info, std::string problem) {
    info.ok = false;
    info.problem = std::move(problem);
    return info;
}

// Bytes of the filtered image data: every row starts with its filter byte; an interlaced
// image has seven passes of smaller rows.
uint64_t ExpectedPngDataSize(uint32_t width, uint32_t height, int bitsPerPixel, bool interlaced) {
    auto rows = [&](uint64_t w, uint64_t h) -> uint64_t {
        if (w == 0 || h == 0) return 0;
        return h * (1 + (w * bitsPerPixel + 7) / 8);
    };
    if (!interlaced) return rows(width, height);
    static const int start[7][2] = {{0, 0}, {4, 0}, {0, 4}, {2, 0}, {0, 2}, {1, 0}, {0, 1}};
    static const int step[7][2] = {{8, 8}, {8, 8}, {4, 8}, {4, 4}, {2, 4}, {2, 2}, {1, 2}};
    uint64_t total = 0;
    for (int p = 0; p < 7; ++p) {
        const uint64_t w = width > static_cast<uint32_t>(start[p][0])
                               ? (width - start[p][0] + step[p][0] - 1) / step[p][0]
                               : 0;
        const uint64_t h = height > static_cast<uint32_t>(start[p][1])
                               ? (height - start[p][1] + step[p][1] - 1) / step[p][1]
                               : 0;
        total += rows(w, h);
    }
    return total;
}

ImageInfo InspectPng(const std::string& b) {
    ImageInfo info;
    info.format = "PNG";
    size_t at = 8;
    bool sawHeader = false, sawEnd = false, sawPalette = false;
    int colourType = 0, bitsPerPixel = 0;
    bool interlaced = false;
    std::string data;
    while (at < b.size()) {
        if (b.size() - at < 12) return Fail(info, "the PNG file ends inside a chunk");
        const uint32_t length = Be32(b, at);
        const std::string type = b.substr(at + 4, 4);
        if (length > b.size() - at - 12)
            return Fail(info, "the PNG chunk " + type + " runs past the end of the file");
        if (Crc32(b, at + 4, length + 4) != Be32(b, at + 8 + length))
            return Fail(info,
                        "the PNG chunk " + type + " fails its CRC check (the file is damaged)");
        const size_t body = at + 8;
        if (!sawHeader && type != "IHDR")
            return Fail(info, "the PNG file does not start with its IHDR header chunk");
        if (type == "IHDR") {
            if (sawHeader) return Fail(info, "the PNG file has two IHDR chunks");
            if (length != 13) return Fail(info, "the PNG header chunk has the wrong length");
            sawHeader = true;
            const uint32_t w = Be32(b, body), h = Be32(b, body + 4);
            const int depth = static_cast<unsigned char>(b[body + 8]);
            colourType = static_cast<unsigned char>(b[body + 9]);
            interlaced = b[body + 12] == 1;
            if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
                return Fail(info, "the PNG header gives an impossible size");
            info.width = static_cast<int>(w);
            info.height = static_cast<int>(h);
            int channels = 0;
            bool depthOk = false;
            switch (colourType) {
                case 0:
                    channels = 1;
                    depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
                    break;
                case 2:
                    channels = 3;
                    depthOk = depth == 8 || depth == 16;
                    break;
                case 3:
                    channels = 1;
                    depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8;
                    break;
                case 4:
                    channels = 2;
                    depthOk = depth == 8 || depth == 16;
                    break;
                case 6:
                    channels = 4;
                    depthOk = depth == 8 || depth == 16;
                    break;
                default:
                    return Fail(info, "the PNG header gives an unknown colour type");
            }
            if (!depthOk)
                return Fail(info,
                            "the PNG header gives a bit depth its colour type does not allow");
            if (b[body + 10] != 0 || b[body + 11] != 0 ||
                static_cast<unsigned char>(b[body + 12]) > 1)
                return Fail(
                    info,
                    "the PNG header gives an unknown compression, filter or interlace method");
            bitsPerPixel = channels * depth;
        } else if (type == "PLTE") {
            sawPalette = true;
        } else if (type == "pHYs" && length == 9) {
            if (b[body + 8] == 1) {  // unit: metre
                info.dpiX = Be32(b, body) * kMetresPerInch;
                info.dpiY = Be32(b, body + 4) * kMetresPerInch;
            }
        } else if (type == "IDAT") {
            data.append(b, body, length);
        } else if (type == "IEND") {
            sawEnd = true;
            break;
        }
        at += 12 + length;
    }
    if (!sawHeader) return Fail(info, "the PNG file has no header chunk");
    if (!sawEnd) return Fail(info, "the PNG file has no IEND chunk (it is cut short)");
    if (data.empty()) return Fail(info, "the PNG file has no image data");
    if (colourType == 3 && !sawPalette)
        return Fail(info, "the PNG file uses a palette but has none");
#ifdef SETTINGCHECK_HAVE_ZLIB
    // Inflated piece by piece, so that a huge or hostile image costs no memory.
    const uint64_t expected =
        ExpectedPngDataSize(info.width, info.height, bitsPerPixel, interlaced);
    const uint64_t stride = 1 + (static_cast<uint64_t>(info.width) * bitsPerPixel + 7) / 8;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return Fail(info, "zlib could not be started");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::vector<unsigned char> piece(1 << 16);
    uint64_t produced = 0;
    int status = Z_OK;
    std::string problem;
    while (status == Z_OK && problem.empty()) {
        stream.next_out = piece.data();
        stream.avail_out = static_cast<uInt>(piece.size());
        status = inflate(&stream, Z_NO_FLUSH);
        const uint64_t got = piece.size() - stream.avail_out;
        for (uint64_t k = 0; !interlaced && k < got; ++k) {
            const uint64_t at = produced + k;
            if (at % stride == 0 && at / stride < static_cast<uint64_t>(info.height) &&
                piece[static_cast<size_t>(k)] > 4) {
                problem = "row " + std::to_string(at / stride) +
                          " of the PNG image has an unknown filter";
                break;
            }
        }
        produced += got;
        if (produced > expected) break;
        if (status == Z_BUF_ERROR && stream.avail_in == 0) break;  // the data ends early
    }
    inflateEnd(&stream);
    if (!problem.empty()) return Fail(info, problem);
    if (status != Z_STREAM_END && status != Z_OK && status != Z_BUF_ERROR)
        return Fail(info, "the PNG image data cannot be inflated (the file is damaged)");
    if (produced != expected)
        return Fail(info, std::string("the PNG image data holds ") +
                              (produced > expected ? "more" : "fewer") +
                              " bytes than the header promises (" + std::to_string(expected) + ")");
#else
    (void)bitsPerPixel;
    (void)interlaced;
    (void)&ExpectedPngDataSize;
#endif
    info.ok = true;
    return info;
}

ImageInfo InspectBmp(const std::string& b) {
    ImageInfo info;
    info.format = "BMP";
    if (b.size() < 26) return Fail(info, "the BMP file is shorter than its headers");
    const uint32_t dataOffset = Le32(b, 10);
    const uint32_t headerSize = Le32(b, 14);
    int64_t width = 0, height = 0;
    int bits = 0;
    uint32_t compression = 0;
    if (headerSize == 12) {
        width = Le16(b, 18);
        height = static_cast<int16_t>(Le16(b, 20));
        bits = Le16(b, 24);
        if (Le16(b, 22) != 1) return Fail(info, "the BMP header gives a plane count other than 1");
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (b.size() < 14 + headerSize)
            return Fail(info, "the BMP file is shorter than its headers");
        width = static_cast<int32_t>(Le32(b, 18));
        height = static_cast<int32_t>(Le32(b, 22));
        if (Le16(b, 26) != 1) return Fail(info, "the BMP header gives a plane count other than 1");
        bits = Le16(b, 28);
        compression = Le32(b, 30);
        const double x = static_cast<int32_t>(Le32(b, 38)), y = static_cast<int32_t>(Le32(b, 42));
        info.dpiX = x > 0 ? x * kMetresPerInch : 0;
        info.dpiY = y > 0 ? y * kMetresPerInch : 0;
    } else {
        return Fail(info, "the BMP file has an unknown header size");
    }
    const int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0) return Fail(info, "the BMP header gives an impossible size");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return Fail(info, "the BMP header gives an unknown bit count");
    if (compression > 3 && compression != 6)
        return Fail(info, "the BMP file uses a compression that cannot be checked");
    info.width = static_cast<int>(width);
    info.height = static_cast<int>(rows);
    if (dataOffset >= b.size())
        return Fail(info, "the BMP pixel data lies past the end of the file");
    if (compression == 0 || compression == 3 || compression == 6) {
        const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
        if (b.size() - dataOffset < stride * static_cast<uint64_t>(rows))
            return Fail(
                info,
                "the BMP pixel data is shorter than its size promises (the file is cut short)");
    }
    info.ok = true;
    return info;
}

ImageInfo InspectGif(const std::string& b) {
    ImageInfo info;
    info.format = "GIF";
    if (b.size() < 13) return Fail(info, "the GIF file is shorter than its header");
    info.width = Le16(b, 6);
    info.height = Le16(b, 8);
    if (info.width == 0 || info.height == 0)
        return Fail(info, "the GIF header gives an impossible size");
    info.ok = true;
    return info;
}

ImageInfo InspectJpeg(const std::string& b) {
    ImageInfo info;
    info.format = "JPEG";
    for (size_t at = 2; at + 4 <= b.size();) {
        if (static_cast<unsigned char>(b[at]) != 0xFF)
            return Fail(info, "the JPEG file is damaged");
        const unsigned marker = static_cast<unsigned char>(b[at + 1]);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const uint16_t length = Be16(b, at + 2);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 9 > b.size()) break;
            info.height = Be16(b, at + 5);
            info.width = Be16(b, at + 7);
            if (info.width == 0 || info.height == 0)
                return Fail(info, "the JPEG header gives an impossible size");
            info.ok = true;
            return info;
        }
        if (length < 2) return Fail(info, "the JPEG file is damaged");
        at += 2 + length;
    }
    return Fail(info, "the JPEG file has no frame header (it is cut short)");
}

ImageInfo InspectFormat(const std::string& bytes);

}  // namespace

ImageInfo InspectImage(const std::string& bytes) {
    ImageInfo info = InspectFormat(bytes);
    // Far beyond any window; decoding it would only cost the memory of the checker.
    constexpr uint64_t kMostPixels = uint64_t{1} << 26;
    if (info.ok &&
        static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height) > kMostPixels) {
        return Fail(info, "the image is " + std::to_string(info.width) + " x " +
                              std::to_string(info.height) +
                              " pixels, far too large for a skin image");
    }
    return info;
}

namespace {

ImageInfo InspectFormat(const std::string& bytes) {
    if (bytes.empty()) return Fail(ImageInfo{}, "the file is empty");
    if (bytes.size() >= 8 && bytes.compare(0, 8, "\x89PNG\r\n\x1A\n") == 0)
        return InspectPng(bytes);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return InspectBmp(bytes);
    if (bytes.size() >= 6 &&
        (bytes.compare(0, 6, "GIF87a") == 0 || bytes.compare(0, 6, "GIF89a") == 0))
        return InspectGif(bytes);
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xFF\xD8\xFF") == 0) return InspectJpeg(bytes);
    if (bytes.size() >= 4 && bytes.compare(0, 4, "\x89PNG") == 0)
        return Fail(ImageInfo{}, "the PNG signature is damaged (the file was changed as text)");
    return Fail(ImageInfo{}, "the file is not an image (neither PNG, BMP, GIF nor JPEG)");
}

}  // namespace

bool InflatesPngData() {
#ifdef SETTINGCHECK_HAVE_ZLIB
    return true;
#else
    return false;
#endif
}

}  // namespace settingcheck
