// The native build's decoder. PNG with libpng, the format's reference decoder: it checks every
// chunk's CRC, the header and the image data, and gives the stored resolution. BMP, GIF and
// JPEG with stb_image, a maintained library that decodes all three from one header; BMP and
// JPEG resolution it does not read, so natively only a PNG's is reported.
#include <png.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Images.h"

namespace settingcheck {

namespace {

// A file read from memory by libpng or stb_image; `past` when the decoder wanted bytes after
// its end (stb_image, which reads ahead, would take zeros for them).
struct Reader {
    const std::string& bytes;
    size_t at = 0;
    bool past = false;
    size_t Take(char* out, size_t size) {
        past = past || (size > 0 && at == bytes.size());
        size = std::min(size, bytes.size() - at);
        std::memcpy(out, bytes.data() + at, size);
        at += size;
        return size;
    }
};

// All libpng's reading, which leaves by longjmp on an error: plain data only.
struct PngRead {
    png_structp png;
    png_infop info;
    Reader* reader;
    bool keep;  // decode into `image`, as 8-bit RGBA, rather than row after row into `row`
    png_bytep row;
    png_bytep image;
    char message[160];
};

void PngFailed(png_structp png, png_const_charp message) {
    std::snprintf(static_cast<PngRead*>(png_get_error_ptr(png))->message, 160, "%s", message);
    png_longjmp(png, 1);
}
void PngWarned(png_structp, png_const_charp) {}
void PngBytes(png_structp png, png_bytep out, size_t size) {
    Reader& reader = *static_cast<Reader*>(png_get_io_ptr(png));
    if (reader.Take(reinterpret_cast<char*>(out), size) != size) png_error(png, "cut short");
}

// Reads header and image row by row, into one row or (to keep the pixels) into the whole
// image; false when libpng fails (its message in `r`) or the image is too large to decode. No
// object with a destructor may live here.
bool ReadPng(PngRead& r, ImageInfo& info) {
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_set_user_limits(r.png, 0x7FFFFFFF, 0x7FFFFFFF);              // TooLarge decides
    png_set_crc_action(r.png, PNG_CRC_DEFAULT, PNG_CRC_ERROR_QUIT);  // ancillary chunks too
    png_set_read_fn(r.png, r.reader, PngBytes);
    png_read_info(r.png, r.info);
    info.width = static_cast<int>(png_get_image_width(r.png, r.info));
    info.height = static_cast<int>(png_get_image_height(r.png, r.info));
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(r.png, r.info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER) {
        info.dpiX = x * 0.0254;
        info.dpiY = y * 0.0254;
    }
    if (TooLarge(info)) return false;
    if (r.keep) {  // every format as red, green, blue and alpha of 8 bits each
        png_set_expand(r.png);
        png_set_strip_16(r.png);
        png_set_gray_to_rgb(r.png);
        png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);
    }
    const int passes = png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    const size_t rowBytes = png_get_rowbytes(r.png, r.info);
    if (r.keep) {
        // Each pass of an interlaced image adds its pixels to the rows read before.
        r.image = static_cast<png_bytep>(png_calloc(r.png, rowBytes * info.height));
    } else {
        r.row = static_cast<png_bytep>(png_malloc(r.png, rowBytes));
    }
    for (int pass = 0; pass < passes; ++pass)
        for (int row = 0; row < info.height; ++row)
            png_read_row(r.png, r.keep ? r.image + rowBytes * row : r.row, nullptr);
    png_read_end(r.png, nullptr);
    return true;
}

void DecodePng(Reader& reader, ImageInfo& info, bool withPixels) {
    PngRead r{};
    r.reader = &reader;
    r.keep = withPixels;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, PngFailed, PngWarned);
    r.info = r.png ? png_create_info_struct(r.png) : nullptr;
    info.ok = r.info && ReadPng(r, info);
    const bool sawHeader = r.info && png_get_image_width(r.png, r.info) > 0;
    if (info.ok && r.keep)
        info.rgba.assign(r.image, r.image + size_t{4} * info.width * info.height);
    png_free(r.png, r.row);
    png_free(r.png, r.image);
    png_destroy_read_struct(&r.png, &r.info, nullptr);
    const std::string message = r.message;
    if (info.ok || !info.problem.empty()) return;
    if (message == "cut short")
        info.problem = sawHeader ? "the PNG file is cut short"
                                 : "the PNG file ends before its header chunk (it is cut short)";
    else if (message.find(": CRC error") != std::string::npos)
        info.problem = "the PNG chunk " + message.substr(0, message.find(':')) +
                       " fails its CRC check (the file is damaged)";
    else if (message == "Not enough image data")
        info.problem = "the PNG image data holds fewer rows than the header promises";
    else if (!message.empty())
        info.problem = "the PNG file is damaged (libpng: " + message + ")";
}

// stb_image's short reason for a failure, as the user reads it.
std::string StbProblem(const std::string& format) {
    const std::string reason = stbi_failure_reason() ? stbi_failure_reason() : "";
    // stb_image knows a BMP file by its signature and header size alone.
    if (format == "BMP" && (reason == "unknown image type" || reason == "unknown BMP"))
        return "the BMP file has an unknown header size";
    if (reason == "BMP RLE")
        return "the BMP file is run-length encoded, which only settingcheck.exe can decode";
    return "the " + format + " file is damaged (stb_image: " + reason + ")";
}

void DecodeWithStb(Reader& reader, ImageInfo& info, bool withPixels) {
    static const stbi_io_callbacks kCallbacks = {
        [](void* r, char* out, int n) {
            return static_cast<int>(static_cast<Reader*>(r)->Take(out, static_cast<size_t>(n)));
        },
        [](void* r, int n) {  // forward only
            Reader& reader = *static_cast<Reader*>(r);
            reader.past = reader.past || static_cast<size_t>(n) > reader.bytes.size() - reader.at;
            reader.at = std::min(reader.bytes.size(), reader.at + n);
        },
        [](void* r) {
            const Reader& reader = *static_cast<Reader*>(r);
            return static_cast<int>(reader.at == reader.bytes.size());
        }};
    const auto* bytes = reinterpret_cast<const stbi_uc*>(reader.bytes.data());
    int channels = 0;
    if (!stbi_info_from_memory(bytes, static_cast<int>(reader.bytes.size()), &info.width,
                               &info.height, &channels)) {
        info.problem = StbProblem(info.format);
    } else if (!TooLarge(info)) {
        stbi_uc* pixels = stbi_load_from_callbacks(&kCallbacks, &reader, &info.width, &info.height,
                                                   &channels, withPixels ? 4 : 0);
        info.ok = pixels && !reader.past;
        if (info.ok && withPixels)
            info.rgba.assign(pixels, pixels + size_t{4} * info.width * info.height);
        stbi_image_free(pixels);
        if (reader.past) info.problem = "the " + info.format + " file is cut short";
        if (!pixels && !reader.past) info.problem = StbProblem(info.format);
    }
}

}  // namespace

void DecodeImage(const std::string& bytes, ImageInfo& info, bool withPixels) {
    Reader reader{bytes};
    if (info.format == "PNG")
        DecodePng(reader, info, withPixels);
    else if (!info.format.empty())
        DecodeWithStb(reader, info, withPixels);
}

}  // namespace settingcheck
