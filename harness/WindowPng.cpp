#include "WindowPng.h"

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cwchar>
#include <vector>

#include "DibSurface.h"

namespace harness {
namespace {

bool PngEncoder(CLSID& clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
            clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

}  // namespace

bool SaveWindowAsPng(HWND window, const std::wstring& path) {
    RECT rc{};
    if (!::GetWindowRect(window, &rc)) return false;
    DibSurface surface(rc.right - rc.left, rc.bottom - rc.top);
    if (surface.Width() <= 0 || surface.Height() <= 0 || !surface.Made()) return false;
    surface.CopyScreen(rc.left, rc.top);
    // The surface's rows, as they are: the same pixels in the same format as a bitmap of
    // the screen's own kind (32 bits, no alpha).
    Gdiplus::Bitmap image(surface.Width(), surface.Height(), surface.Width() * 4,
                          PixelFormat32bppRGB,
                          reinterpret_cast<BYTE*>(const_cast<DWORD*>(surface.Pixels())));
    CLSID png{};
    return PngEncoder(png) && image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

}  // namespace harness
