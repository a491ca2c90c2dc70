#include "SkinFrame.h"

#include <memory>
#include <mutex>

#include "ExceptionWrapper.h"
#include "GdiPlusWrapper.h"

namespace {

constexpr size_t kPathCapacity = MAX_PATH;  // the path is built in a 260-character buffer
constexpr wchar_t kBackgroundSuffix[] = L"\\skin\\default\\frame\\wndbk.png";

constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kBorderColor = 0x64727C;
constexpr int kBandHeight = 30;

// The title-band image, shared by every skinned dialog of the process. Dialogs on other
// threads (the message dialog of a worker) reload and draw it too, so every use holds the
// lock: an image is never freed while another thread draws it.
std::mutex g_wndBkMutex;
std::unique_ptr<Gdiplus::Image> g_pWndBkImage;

void DrawTitleBand(CGdiPlusWrapper& surface, Gdiplus::Image* band, int width) {
    surface.DrawImagePart(band, 0, 0, 0, 0, 30, kBandHeight);
    surface.DrawImagePartRow(band, 20, width, 0, 20, 0, 20, kBandHeight);  // x = 20, 40 ...
    surface.DrawImagePart(band, width - 20, 0, 40, 0, 20, kBandHeight);
}

}  // namespace

void LoadSkinBackgrounds(const wchar_t* directory) {
    std::unique_ptr<Gdiplus::Image> image;
    if (directory) {
        const std::wstring path = std::wstring(directory) + kBackgroundSuffix;
        if (path.size() < kPathCapacity) {
            image = LoadSkinImage(path);
        } else {
            LogTrace(__LINE__, WFILE, L"skin folder path too long (%d characters): %s",
                     static_cast<int>(wcslen(directory)), directory);
        }
    }
    std::unique_ptr<Gdiplus::Image> old;
    {
        std::lock_guard<std::mutex> lock(g_wndBkMutex);
        old = std::move(g_pWndBkImage);
        g_pWndBkImage = std::move(image);
        // The old image goes while the lock is held: no other thread can be drawing it.
        old.reset();
    }
}

void ReleaseSkinBackgrounds() {
    std::lock_guard<std::mutex> lock(g_wndBkMutex);
    g_pWndBkImage.reset();
}

DWORD DrawSkinFrame(HWND window, HDC dc) {
    if (!window || !dc) return ERROR_INVALID_PARAMETER;
    wchar_t title[260] = L"";
    ::GetWindowTextW(window, title, 260);
    RECT client{};
    ::GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;

    CGdiPlusWrapper surface;
    const DWORD status = surface.InitializeWrapper(dc, width, height, kWhite, TRUE);
    if (status != 0) return status;
    {
        std::lock_guard<std::mutex> lock(g_wndBkMutex);
        if (g_pWndBkImage) {
            DrawTitleBand(surface, g_pWndBkImage.get(), width);
            surface.SetPen(kBorderColor, 1.0f);
            surface.DrawLine(0, kBandHeight, 0, height);
            surface.DrawLine(width - 1, kBandHeight, width - 1, height);
            surface.DrawLine(0, height - 1, width, height - 1);
            surface.SetFont(L"Segoe UI", 13, Gdiplus::FontStyleBold);
            surface.SetTextColor(0x000000, 255);
            surface.DrawText(title, -1, 4, 6, 0, 0, -1, -1);
        }
    }
    surface.Present(0, 0);
    return 0;
}

int PointSizeToLogHeight(int points) {
    HDC screen = ::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    const int resolution = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::DeleteDC(screen);
    return -::MulDiv(points, resolution, 72);
}

LRESULT SkinControlColor(HDC dc) {
    ::SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}
