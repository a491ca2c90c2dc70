// The Windows build: values through the platform's private-profile reader (as the module
// reads them), images through GDI+ as well, texts measured with GDI.
#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>
#include <shlwapi.h>

#include "Command.h"
#include "Images.h"

namespace settingcheck {

namespace {

class ProfileValues : public ValueSource {
public:
    explicit ProfileValues(std::wstring path) : m_path(std::move(path)) {}
    bool Get(const std::wstring& section, const std::wstring& key,
             std::wstring& value) const override {
        // A default no file holds tells a missing key from an empty one.
        static const wchar_t kAbsent[] = L"\x01settingcheck-absent\x01";
        std::wstring buffer(5120, L'\0');
        const DWORD length =
            ::GetPrivateProfileStringW(section.c_str(), key.c_str(), kAbsent, &buffer[0],
                                       static_cast<DWORD>(buffer.size()), m_path.c_str());
        buffer.resize(length);
        if (buffer == kAbsent) return false;
        value = buffer;
        return true;
    }

private:
    std::wstring m_path;
};

// GDI+ for the whole run of the program.
class GdiPlus {
public:
    GdiPlus() {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    ~GdiPlus() { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

// GDI+'s 32-bit ARGB rows (in memory blue, green, red, alpha) as RGBA.
void KeepPixels(const Gdiplus::BitmapData& pixels, ImageInfo& info) {
    info.rgba.resize(size_t{4} * info.width * info.height);
    uint8_t* out = info.rgba.data();
    for (int y = 0; y < info.height; ++y) {
        const auto* row = static_cast<const uint8_t*>(pixels.Scan0) + ptrdiff_t{pixels.Stride} * y;
        for (int x = 0; x < info.width; ++x, row += 4, out += 4) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            out[3] = row[3];
        }
    }
}

}  // namespace

Platform MakePlatform(bool estimateWidths) {
    static const std::unique_ptr<TextMeter> gdi = MakeGdiMeter();
    static const std::unique_ptr<TextMeter> table = MakeTableMeter();
    Platform platform;
    platform.openValues = [](const std::filesystem::path& path, const IniDocument&) {
        return std::unique_ptr<ValueSource>(new ProfileValues(path.wstring()));
    };
    platform.meter = estimateWidths || !gdi ? table.get() : gdi.get();
    return platform;
}

// Decodes as the module does, with GDI+: the pixels in full (LockBits), once the size fits;
// kept as RGBA when asked for.
void DecodeImage(const std::string& bytes, ImageInfo& info, bool withPixels) {
    static GdiPlus gdiplus;
    static const std::pair<const GUID*, const char*> kFormats[] = {
        {&Gdiplus::ImageFormatPNG, "PNG"},
        {&Gdiplus::ImageFormatBMP, "BMP"},
        {&Gdiplus::ImageFormatGIF, "GIF"},
        {&Gdiplus::ImageFormatJPEG, "JPEG"}};
    IStream* stream = ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<UINT>(bytes.size()));
    if (!stream) return;
    Gdiplus::Status status;
    {
        Gdiplus::Bitmap bitmap(stream, FALSE);
        GUID format{};
        status = bitmap.GetLastStatus();
        if (status == Gdiplus::Ok) status = bitmap.GetRawFormat(&format);
        if (status == Gdiplus::Ok) {
            for (const auto& known : kFormats)
                if (format == *known.first) info.format = known.second;
            info.width = static_cast<int>(bitmap.GetWidth());
            info.height = static_cast<int>(bitmap.GetHeight());
            if (bitmap.GetFlags() & Gdiplus::ImageFlagsHasRealDPI) {
                info.dpiX = bitmap.GetHorizontalResolution();
                info.dpiY = bitmap.GetVerticalResolution();
            }
            Gdiplus::Rect all(0, 0, info.width, info.height);
            Gdiplus::BitmapData pixels;
            if (!TooLarge(info)) {
                status = bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                         &pixels);
                if (status == Gdiplus::Ok) {
                    if (withPixels) KeepPixels(pixels, info);
                    bitmap.UnlockBits(&pixels);
                }
                info.ok = status == Gdiplus::Ok;
            }
        }
    }
    stream->Release();
    if (status != Gdiplus::Ok && !info.format.empty())
        info.problem = "the " + info.format +
                       " file is damaged or cut short: GDI+ cannot decode it (status " +
                       std::to_string(static_cast<int>(status)) + ")";
}

}  // namespace settingcheck
