#include "GdiPlus.h"

#include "Dpi.h"
#include "ExceptionWrapper.h"
#include "FileStamp.h"

#include <mutex>
#include <unordered_map>
#include <cstdint>
#include <new>
#include <string>

namespace gdiplus_session {
namespace {

// GDI+ may not be started or stopped while the loader lock is held, and its background thread
// could not end then; so the session starts at the first call of the module and runs without
// that thread, driven by the notification hooks instead.
struct Session {
    std::mutex mutex;
    ULONG_PTR token = 0;
    ULONG_PTR hookToken = 0;
    Gdiplus::GdiplusStartupOutput output{};
    bool running = false;
};

// A namespace-scope object, made when the module loads: a function-local one would be made on
// first use through the thread runtime's guard, which costs the calling thread two handles
// that are never given back once the module unloads.
Session g_session;

Session& TheSession() {
    return g_session;
}

}  // namespace

bool Acquire() {
    Session& s = TheSession();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.running) return true;
    Gdiplus::GdiplusStartupInput input;
    input.SuppressBackgroundThread = TRUE;
    if (Gdiplus::GdiplusStartup(&s.token, &input, &s.output) != Gdiplus::Ok) return false;
    if (s.output.NotificationHook) s.output.NotificationHook(&s.hookToken);
    s.running = true;
    return true;
}

void Shutdown() {
    Session& s = TheSession();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.running) return;
    if (s.output.NotificationUnhook) s.output.NotificationUnhook(s.hookToken);
    Gdiplus::GdiplusShutdown(s.token);
    s.running = false;
}

bool IsRunning() {
    Session& s = TheSession();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.running;
}

}  // namespace gdiplus_session

namespace {

// Decoded skin images, shared by every dialog of the process. Decoding a file costs more than
// opening a whole dialog, and the same few files are drawn at every opening, so their pixels
// are kept for as long as the file stays as it was (its stamp is taken at every load). Each
// caller gets a copy of its own: GDI+ images may not be drawn by two threads at once.
class DecodedImages {
public:
    static DecodedImages& Instance();

    std::unique_ptr<Gdiplus::Image> Load(const std::wstring& path) {
        const FileStamp stamp = FileStamp::Of(path);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const auto found = m_images.find(path);
            if (found != m_images.end() && found->second.stamp == stamp) {
                return std::unique_ptr<Gdiplus::Image>(CopyOf(*found->second.pixels));
            }
        }
        std::unique_ptr<Gdiplus::Image> decoded(Decode(path));
        if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok) {
            ReportUnusable(path, stamp, decoded ? decoded->GetLastStatus() : Gdiplus::OutOfMemory);
            return decoded;
        }
        std::unique_ptr<Gdiplus::Bitmap> pixels(Pixels(*decoded));
        // Unusual images (too large to keep, or unconvertible) are simply not kept.
        if (!pixels) return decoded;
        std::lock_guard<std::mutex> lock(m_mutex);
        Entry& entry = m_images[path];
        entry.stamp = stamp;
        entry.pixels = std::move(pixels);
        return std::unique_ptr<Gdiplus::Image>(CopyOf(*entry.pixels));
    }

    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_images.clear();
        m_reported.clear();
    }

private:
    struct Entry {
        FileStamp stamp;
        std::unique_ptr<Gdiplus::Bitmap> pixels;
    };
    // Skin images are small; anything larger is drawn from its file as it is, never kept.
    static constexpr UINT kMaxKeptSide = 2048;

    // A skin file that is missing or cannot be decoded draws nothing; the log says why, once
    // for each state of the file. A folder (an image key left empty) is no image by design.
    void ReportUnusable(const std::wstring& path, const FileStamp& stamp, Gdiplus::Status status) {
        if (stamp.directory) return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const auto found = m_reported.find(path);
            if (found != m_reported.end() && found->second == stamp) return;
            m_reported[path] = stamp;
        }
        if (!stamp.exists) {
            LogTrace(__LINE__, WFILE, L"skin image not found: %s", path.c_str());
        } else {
            LogTrace(__LINE__, WFILE, L"skin image cannot be decoded (GDI+ status %d): %s",
                     static_cast<int>(status), path.c_str());
        }
    }

    // GDI+ objects come from GDI+'s own allocator, which returns null instead of throwing.
    static Gdiplus::Image* Decode(const std::wstring& path) {
        return new Gdiplus::Image(path.c_str(), FALSE);
    }

    // The image's pixels, decoded once, as a bitmap of the same size and colours.
    static Gdiplus::Bitmap* Pixels(Gdiplus::Image& image) {
        const UINT width = image.GetWidth(), height = image.GetHeight();
        if (width == 0 || height == 0 || width > kMaxKeptSide || height > kMaxKeptSide) {
            return nullptr;
        }
        auto* pixels = new Gdiplus::Bitmap(static_cast<INT>(width), static_cast<INT>(height),
                                           PixelFormat32bppARGB);
        if (!pixels || pixels->GetLastStatus() != Gdiplus::Ok) {
            delete pixels;
            return nullptr;
        }
        Gdiplus::Graphics graphics(pixels);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        const Gdiplus::Status drawn = graphics.DrawImage(
            &image, Gdiplus::Rect(0, 0, static_cast<INT>(width), static_cast<INT>(height)), 0, 0,
            static_cast<INT>(width), static_cast<INT>(height), Gdiplus::UnitPixel, nullptr);
        if (drawn != Gdiplus::Ok) {
            delete pixels;
            return nullptr;
        }
        return pixels;
    }

    static Gdiplus::Image* CopyOf(Gdiplus::Bitmap& pixels) {
        return pixels.Clone(0, 0, static_cast<INT>(pixels.GetWidth()),
                            static_cast<INT>(pixels.GetHeight()), PixelFormat32bppARGB);
    }

    std::mutex m_mutex;
    std::unordered_map<std::wstring, Entry> m_images;
    std::unordered_map<std::wstring, FileStamp> m_reported;
};

// Made when the module loads, like the session above.
DecodedImages g_decodedImages;

DecodedImages& DecodedImages::Instance() {
    return g_decodedImages;
}

}  // namespace

std::unique_ptr<Gdiplus::Image> LoadSkinImage(const std::wstring& path) {
    return DecodedImages::Instance().Load(path);
}

std::unique_ptr<Gdiplus::Image> LoadLargerCopy(const std::wstring& path, Gdiplus::Image& image) {
    const std::wstring largerPath = dpi::LargerCopyPath(path);
    if (::GetFileAttributesW(largerPath.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
    std::unique_ptr<Gdiplus::Image> larger = LoadSkinImage(largerPath);
    if (!larger) return nullptr;
    if (larger->GetWidth() == 2 * image.GetWidth() && larger->GetHeight() == 2 * image.GetHeight())
        return larger;
    LogTrace(__LINE__, WFILE, L"%s is %u x %u pixels, not twice %u x %u; it is not used",
             largerPath.c_str(), larger->GetWidth(), larger->GetHeight(), image.GetWidth(),
             image.GetHeight());
    return nullptr;
}

SkinImage LoadSkinImageFor(const std::wstring& path, UINT dpi) {
    SkinImage result;
    result.stamp = FileStamp::Of(path);
    result.image = LoadSkinImage(path);
    if (dpi < dpi::kLargerCopyFrom || !result.image) return result;
    result.largerStamp = FileStamp::Of(dpi::LargerCopyPath(path));
    if (std::unique_ptr<Gdiplus::Image> larger = LoadLargerCopy(path, *result.image)) {
        result.image = std::move(larger);
        result.factor = 2;
    }
    return result;
}

void ReleaseSkinImages() {
    DecodedImages::Instance().Clear();
}

Gdiplus::Status DrawPieceRun(Gdiplus::Graphics& graphics, Gdiplus::Image* image,
                             const Gdiplus::Rect& piece, int start, int limit, int across,
                             bool horizontal) {
    if (!image) return Gdiplus::InvalidParameter;
    const int step = horizontal ? piece.Width : piece.Height;
    if (step <= 0 || limit <= start) return Gdiplus::Ok;
    const int64_t count = (int64_t{limit} - start + step - 1) / step;
    const int length = static_cast<int>(count * step);
    Gdiplus::TextureBrush brush(image, Gdiplus::WrapModeTile, piece);
    if (brush.GetLastStatus() != Gdiplus::Ok) return brush.GetLastStatus();
    // The tiles start where the first piece stands.
    brush.TranslateTransform(static_cast<float>(horizontal ? start : across),
                             static_cast<float>(horizontal ? across : start));
    const Gdiplus::Rect area = horizontal ? Gdiplus::Rect(start, across, length, piece.Height)
                                          : Gdiplus::Rect(across, start, piece.Width, length);
    return graphics.FillRectangle(&brush, area);
}

Gdiplus::Status DrawImageScaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image,
                                const Gdiplus::Rect& target, const Gdiplus::Rect& source,
                                bool sharp) {
    if (!image) return Gdiplus::InvalidParameter;
    if (target.Width == source.Width && target.Height == source.Height) {
        return graphics.DrawImage(image, target, source.X, source.Y, source.Width, source.Height,
                                  Gdiplus::UnitPixel, nullptr);
    }
    const Gdiplus::InterpolationMode interpolation = graphics.GetInterpolationMode();
    const Gdiplus::PixelOffsetMode offset = graphics.GetPixelOffsetMode();
    graphics.SetInterpolationMode(sharp ? Gdiplus::InterpolationModeNearestNeighbor
                                        : Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    const Gdiplus::Status status =
        graphics.DrawImage(image, target, source.X, source.Y, source.Width, source.Height,
                           Gdiplus::UnitPixel, &attributes);
    graphics.SetInterpolationMode(interpolation);
    graphics.SetPixelOffsetMode(offset);
    return status;
}
