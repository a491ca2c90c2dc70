#include "WindowPng.h"

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cwchar>
#include <memory>
#include <vector>

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

struct ScreenDc {
    HDC dc = ::GetDC(nullptr);
    ~ScreenDc() { ::ReleaseDC(nullptr, dc); }
};
struct DeleteDc {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct DeleteBitmap {
    void operator()(HBITMAP bitmap) const { ::DeleteObject(bitmap); }
};

}  // namespace

bool SaveWindowAsPng(HWND window, const std::wstring& path) {
    RECT rc{};
    if (!::GetWindowRect(window, &rc)) return false;
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0) return false;
    ScreenDc screen;
    std::unique_ptr<std::remove_pointer_t<HDC>, DeleteDc> memory(::CreateCompatibleDC(screen.dc));
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteBitmap> bitmap(
        ::CreateCompatibleBitmap(screen.dc, width, height));
    if (!memory || !bitmap) return false;
    const HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.dc, rc.left, rc.top, SRCCOPY);
    ::SelectObject(memory.get(), old);
    Gdiplus::Bitmap image(bitmap.get(), nullptr);
    CLSID png{};
    return PngEncoder(png) && image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}
