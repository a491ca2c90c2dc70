// A drawing surface for one paint: GDI+ bound to a device context either directly or
// through an off-screen bitmap that Present copies to the context in one step. It offers
// images, filled rectangles and aligned text with one current font, text colour
// and fill colour.
//
// Colours are 0xRRGGBB with a separate alpha. Every operation returns a status: 0 success,
// 87 a required argument missing, 8 no memory, kNotReady when the surface lacks what the
// operation needs, kGdiPlusFailure + s for a failing GDI+ call with status s, or the
// platform's last error when the off-screen context or bitmap fails.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "GdiPlus.h"
#include "Handles.h"

class CGdiPlusWrapper {
public:
    static constexpr DWORD kNotReady = 0xE0000001;
    static constexpr DWORD kGdiPlusFailure = 0xEE000000;

    CGdiPlusWrapper() = default;
    virtual ~CGdiPlusWrapper() { Release(); }
    CGdiPlusWrapper(const CGdiPlusWrapper&) = delete;
    CGdiPlusWrapper& operator=(const CGdiPlusWrapper&) = delete;

    // Buffered mode: drawing goes to an off-screen bitmap of width x height.
    DWORD InitializeWrapper(HDC target, int width, int height, DWORD background, BOOL fill);
    // Direct mode: drawing goes straight to the target.
    DWORD InitializeWrapper2(HDC target, int width, int height, DWORD background, BOOL fill);

    DWORD SetFont(const wchar_t* name, int sizePixels, int style);
    DWORD SetTextColor(DWORD color, BYTE alpha);
    DWORD SetFillColor(DWORD color, BYTE alpha);
    DWORD FillBackground(DWORD color, BYTE alpha);

    // The whole image scaled into the rectangle; -1 for its own width or height.
    DWORD DrawImage(Gdiplus::Image* image, int x, int y, int width, int height);
    // A part of the image at its own size; -1 for the image's own width or height.
    DWORD DrawImagePart(Gdiplus::Image* image, int x, int y, int srcX, int srcY, int srcWidth,
                        int srcHeight, Gdiplus::Unit unit = Gdiplus::UnitPixel);
    // The part (srcX, srcY, srcWidth, srcHeight) at x, x + srcWidth ... for every x below
    // `limit`, at height y: as many DrawImagePart calls, drawn as one tiled fill.
    DWORD DrawImagePartRow(Gdiplus::Image* image, int x, int limit, int y, int srcX, int srcY,
                           int srcWidth, int srcHeight);
    // The part (srcX, srcY, srcWidth, srcHeight) stretched into (x, y, width, height); see
    // DrawImageScaled.
    DWORD DrawImageScaled(Gdiplus::Image* image, const Gdiplus::Rect& target,
                          const Gdiplus::Rect& source, bool sharp = false);
    // A rectangle in the fill colour.
    DWORD FillRect(int x, int y, int width, int height);
    // Horizontal alignment 0 left, 1 centre, 2 right; vertical 1 centre, 2 bottom, else top.
    // A width or height of -1 means the text's measured size; a length of -1 the whole text.
    DWORD DrawText(const wchar_t* text, int length, int x, int y, int alignH, int alignV, int width,
                   int height);
    // How DrawText treats '&': by default as written; Show underlines the character after it,
    // Hide leaves it plain; both drop the '&' and show "&&" as one.
    void SetHotkeyPrefix(Gdiplus::HotkeyPrefix prefix) { m_hotkeyPrefix = prefix; }
    // Text edges smoothed in grey only, mixing nothing but the text's and the ground's colour
    // (high contrast); by default the system's smoothing.
    void SetTextSmoothing() { m_textHint = Gdiplus::TextRenderingHintAntiAliasGridFit; }

    // Copies the off-screen bitmap to the target at (x, y), then releases the surface.
    DWORD Present(int x, int y);
    // Frees everything the surface holds; the font settings stay.
    void Release();

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

private:
    DWORD Initialize(HDC target, int width, int height, DWORD background, BOOL fill, bool buffered);
    DWORD BuildFont();
    static DWORD MapStatus(Gdiplus::Status status);
    static Gdiplus::Color MakeColor(DWORD rgb, BYTE alpha);

    HDC m_hTargetDC = nullptr;
    ui::UniqueDc m_hMemDC;
    std::unique_ptr<Gdiplus::Graphics> m_lpGraphics;
    ui::UniqueBitmap m_hBitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::unique_ptr<Gdiplus::SolidBrush> m_lpTextBrush;
    std::unique_ptr<Gdiplus::SolidBrush> m_lpFillBrush;
    std::unique_ptr<Gdiplus::FontFamily> m_lpFontFamily;
    std::unique_ptr<Gdiplus::Font> m_lpFont;
    int m_nFontStyle = Gdiplus::FontStyleRegular;
    float m_fFontSize = 11.0f;
    std::wstring m_strFontName = L"Segoe UI";  // at most 99 characters
    Gdiplus::HotkeyPrefix m_hotkeyPrefix = Gdiplus::HotkeyPrefixNone;
    Gdiplus::TextRenderingHint m_textHint = Gdiplus::TextRenderingHintSystemDefault;
};
