#include "SkinFrame.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>

#include <windowsx.h>

#include "Dpi.h"
#include "ExceptionWrapper.h"
#include "FileStamp.h"
#include "GdiPlusWrapper.h"
#include "HighContrast.h"
#include "SkinGeometry.h"

namespace {

constexpr size_t kPathCapacity = MAX_PATH;  // the path is built in a 260-character buffer

constexpr DWORD kBorderColor = 0x64727C;

// The title-band image, shared by every skinned dialog of the process. Dialogs on other
// threads (the message dialog of a worker) reload and draw it too, so every use holds the
// lock: an image is never freed while another thread draws it.
std::mutex g_wndBkMutex;
std::unique_ptr<Gdiplus::Image> g_pWndBkImage;
std::unique_ptr<Gdiplus::Image> g_pWndBkLarger;  // its larger copy, when the skin has one
uint64_t g_wndBkGeneration = 0;  // counts changes of the band, so that kept frames go stale

// Where the band was last loaded from. Loading the same unchanged file again (every opening
// does) leaves kept frames as they are; a different or changed file, or a failed load, does not.
struct BandSource {
    std::wstring path;
    FileStamp stamp;
    bool loaded = false;
    bool operator==(const BandSource& other) const {
        return path == other.path && stamp == other.stamp && loaded == other.loaded;
    }
};
BandSource g_wndBkSource;  // guarded by g_wndBkMutex

// The band's left end, its middle (repeated, or stretched when scaled) and its right end, at
// the top of a frame `width` wide. `larger` is the band's larger copy, or null.
void DrawTitleBand(CGdiPlusWrapper& surface, Gdiplus::Image* band, Gdiplus::Image* larger,
                   int width, UINT dpi) {
    using namespace skin;
    if (dpi == dpi::kBase) {
        surface.DrawImagePart(band, 0, 0, kBandLeft.x, kBandLeft.y, kBandLeft.width,
                              kBandLeft.height);
        surface.DrawImagePartRow(band, kBandMiddle.x, width, 0, kBandMiddle.x, kBandMiddle.y,
                                 kBandMiddle.width, kBandMiddle.height);  // x = 20, 40 ...
        surface.DrawImagePart(band, width - kBandRight.width, 0, kBandRight.x, kBandRight.y,
                              kBandRight.width, kBandRight.height);
        return;
    }
    Gdiplus::Image* image = larger && dpi >= dpi::kLargerCopyFrom ? larger : band;
    const int f = image == larger ? 2 : 1;
    const int height = dpi::Scale(kBandHeight, dpi);
    const int side = dpi::Scale(kBandEnd, dpi);
    const auto part = [f](int x) { return Gdiplus::Rect(x * f, 0, kBandEnd * f, kBandHeight * f); };
    // The middle under the whole band first: no seam can show where the ends meet it.
    surface.DrawImageScaled(image, Gdiplus::Rect(0, 0, width, height), part(kBandMiddle.x));
    surface.DrawImageScaled(image, Gdiplus::Rect(0, 0, side, height), part(kBandLeft.x));
    surface.DrawImageScaled(image, Gdiplus::Rect(width - side, 0, side, height),
                            part(kBandRight.x));
}

// A GDI colour (0x00BBGGRR) as the drawing surface takes it (0xRRGGBB).
DWORD RgbOf(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// The border lines below the band: left, right and bottom, one pixel at 96 dpi.
void DrawBorder(CGdiPlusWrapper& surface, DWORD colour, int width, int height, UINT dpi) {
    const int band = dpi::Scale(skin::kBandHeight, dpi);
    const int line = dpi::Scale(1, dpi);
    surface.SetFillColor(colour, 255);
    surface.FillRect(0, band, line, height - band);
    surface.FillRect(width - line, band, line, height - band);
    surface.FillRect(0, height - line, width, line);
}

// The window text as title, in 13-pixel bold "Segoe UI" from (4, 6).
void DrawTitle(CGdiPlusWrapper& surface, const wchar_t* title, DWORD colour, UINT dpi) {
    surface.SetFont(L"Segoe UI", dpi::Scale(skin::kTitlePixels, dpi), Gdiplus::FontStyleBold);
    surface.SetTextColor(colour, 255);
    surface.DrawText(title, -1, dpi::Scale(skin::kTitleLeft, dpi), dpi::Scale(skin::kTitleTop, dpi),
                     0, 0, -1, -1);
}

// High contrast: the band in the highlight colour with the title in its text colour, the
// border in the window text colour, on the window colour.
void DrawHighContrastFrame(CGdiPlusWrapper& surface, const wchar_t* title, int width, int height,
                           UINT dpi) {
    using high_contrast::Colour;
    surface.SetFillColor(RgbOf(Colour(COLOR_HIGHLIGHT)), 255);
    surface.FillRect(0, 0, width, dpi::Scale(skin::kBandHeight, dpi));
    DrawBorder(surface, RgbOf(Colour(COLOR_WINDOWTEXT)), width, height, dpi);
    surface.SetTextSmoothing();
    DrawTitle(surface, title, RgbOf(Colour(COLOR_HIGHLIGHTTEXT)), dpi);
}

}  // namespace

void LoadSkinBackgrounds(const wchar_t* directory) {
    std::unique_ptr<Gdiplus::Image> image;
    std::unique_ptr<Gdiplus::Image> larger;
    BandSource source;
    if (directory) {
        const std::wstring path = std::wstring(directory) + skin::kBandImage;
        if (path.size() < kPathCapacity) {
            // The stamp first: a file changed while it is decoded is seen as changed next time.
            source.path = path;
            source.stamp = FileStamp::Of(path);
            image = LoadSkinImage(path);
            if (image) larger = LoadLargerCopy(path, *image);
        } else {
            LogTrace(__LINE__, WFILE, L"skin folder path too long (%d characters): %s",
                     static_cast<int>(wcslen(directory)), directory);
        }
    }
    {
        std::lock_guard<std::mutex> lock(g_wndBkMutex);
        // The old images go while the lock is held: no other thread can be drawing them.
        g_pWndBkImage = std::move(image);
        g_pWndBkLarger = std::move(larger);
        source.loaded = g_pWndBkImage != nullptr;
        if (!(source == g_wndBkSource)) ++g_wndBkGeneration;
        g_wndBkSource = std::move(source);
    }
}

void ReleaseSkinBackgrounds() {
    std::lock_guard<std::mutex> lock(g_wndBkMutex);
    g_pWndBkImage.reset();
    g_pWndBkLarger.reset();
    g_wndBkSource = BandSource();
    ++g_wndBkGeneration;
}

namespace {
uint64_t BackgroundGeneration() {
    std::lock_guard<std::mutex> lock(g_wndBkMutex);
    return g_wndBkGeneration;
}
}  // namespace

CSkinFrameCache::FramePalette CSkinFrameCache::FramePalette::Now() {
    FramePalette palette;
    palette.highContrast = high_contrast::IsOn();
    if (palette.highContrast) {
        for (int index : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT})
            palette.colours.push_back(high_contrast::Colour(index));
    }
    return palette;
}

DWORD CSkinFrameCache::Paint(HWND window, HDC dc, UINT dpi, const Decoration* decoration) {
    if (!window || !dc) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(m_mutex);
    wchar_t title[260] = L"";
    ::GetWindowTextW(window, title, 260);
    const RECT client = [&] {
        RECT rc{};
        ::GetClientRect(window, &rc);
        return rc;
    }();
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const uint64_t generation = BackgroundGeneration();

    const FramePalette palette = FramePalette::Now();
    if (!m_memory || width != m_width || height != m_height || m_title != title ||
        generation != m_generation || dpi != m_dpi || !(palette == m_palette) ||
        (decoration ? decoration->identity : std::wstring()) != m_decoration) {
        Forget();
        m_memory.reset(::CreateCompatibleDC(dc));
        if (!m_memory) return ::GetLastError();
        // Top-down 32-bit pixels that can be read directly (see UniformColour).
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = std::max(width, 1);
        info.bmiHeader.biHeight = -std::max(height, 1);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.reset(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_pixels = static_cast<const uint32_t*>(bits);
        if (!m_bitmap) {
            const DWORD error = ::GetLastError();
            Forget();
            return error;
        }
        m_oldBitmap = ::SelectObject(m_memory.get(), m_bitmap.get());
        const DWORD status = DrawSkinFrame(window, m_memory.get(), dpi);
        if (status != 0) {
            Forget();
            return status;
        }
        if (decoration && decoration->draw) decoration->draw(m_memory.get());
        ::GdiFlush();
        m_width = width;
        m_height = height;
        m_title = title;
        m_generation = generation;
        m_dpi = dpi;
        m_palette = palette;
        m_decoration = decoration ? decoration->identity : std::wstring();
    }
    // Only what the context can show: a themed control asks for the part behind it, one
    // control at a time. Such a part is mostly of one colour, and filling it costs far less
    // than copying it to the screen.
    RECT clip{};
    if (::GetClipBox(dc, &clip) == ERROR || ::IsRectEmpty(&clip)) clip = client;
    COLORREF colour = 0;
    if (UniformColour(clip, colour)) {
        ::SetBkColor(dc, colour);
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &clip, nullptr, 0, nullptr);
        return 0;
    }
    ::BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top,
             m_memory.get(), clip.left, clip.top, SRCCOPY);
    return 0;
}

// Whether every kept pixel of `area` (which must lie inside the frame) has one colour.
bool CSkinFrameCache::UniformColour(const RECT& area, COLORREF& colour) const {
    if (!m_pixels || area.left < 0 || area.top < 0 || area.right > m_width ||
        area.bottom > m_height || area.left >= area.right || area.top >= area.bottom) {
        return false;
    }
    const uint32_t first = m_pixels[static_cast<size_t>(area.top) * m_width + area.left] & 0xFFFFFF;
    for (LONG y = area.top; y < area.bottom; ++y) {
        const uint32_t* row = m_pixels + static_cast<size_t>(y) * m_width;
        for (LONG x = area.left; x < area.right; ++x) {
            if ((row[x] & 0xFFFFFF) != first) return false;
        }
    }
    colour = RGB((first >> 16) & 0xFF, (first >> 8) & 0xFF, first & 0xFF);
    return true;
}

void CSkinFrameCache::Forget() {
    if (m_memory && m_oldBitmap) ::SelectObject(m_memory.get(), m_oldBitmap);
    m_oldBitmap = nullptr;
    m_bitmap.reset();
    m_memory.reset();
    m_pixels = nullptr;
}

DWORD DrawSkinFrame(HWND window, HDC dc, UINT dpi) {
    if (!window || !dc) return ERROR_INVALID_PARAMETER;
    wchar_t title[260] = L"";
    ::GetWindowTextW(window, title, 260);
    RECT client{};
    ::GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    CGdiPlusWrapper surface;
    const bool contrast = high_contrast::IsOn();
    const DWORD ground =
        contrast ? RgbOf(high_contrast::Colour(COLOR_WINDOW)) : skin::kGroundColour;
    const DWORD status = surface.InitializeWrapper(dc, width, height, ground, TRUE);
    if (status != 0) return status;
    if (contrast) {
        DrawHighContrastFrame(surface, title, width, height, dpi);
    } else {
        std::lock_guard<std::mutex> lock(g_wndBkMutex);
        if (g_pWndBkImage) {
            DrawTitleBand(surface, g_pWndBkImage.get(), g_pWndBkLarger.get(), width, dpi);
            DrawBorder(surface, kBorderColor, width, height, dpi);
            DrawTitle(surface, title, skin::kTitleColour, dpi);
        }
    }
    surface.Present(0, 0);
    return 0;
}

int PointSizeToLogHeight(int points, UINT dpi) {
    return -dpi::PointsToPixels(points, dpi);
}

bool InDragBand(LPARAM point, UINT dpi) {
    return GET_Y_LPARAM(point) <= dpi::Scale(skin::kBandHeight, dpi);
}

LRESULT SkinControlColor(HDC dc) {
    if (high_contrast::IsOn()) {
        ::SetTextColor(dc, high_contrast::Colour(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, high_contrast::Colour(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    }
    ::SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}
