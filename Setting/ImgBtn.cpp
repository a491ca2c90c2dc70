#include "ImgBtn.h"

#include <algorithm>

#include "Dpi.h"
#include "FocusCue.h"
#include "GdiPlusWrapper.h"
#include "HighContrast.h"
#include "KeptPicture.h"
#include "SkinGeometry.h"
#include "Trace.h"

namespace {
// Every trace of the button is formatted into 260 characters; longer ones are cut.
constexpr size_t kTraceCapacity = 260;
// The focus cue stands this far inside the button's edge (at 96 dpi).
constexpr int kFocusCueInset = 3;

RECT FocusCueRect(const RECT& client, UINT dpi) {
    RECT cue = client;
    const int inset = dpi::Scale(kFocusCueInset, dpi);
    ::InflateRect(&cue, -inset, -inset);
    return cue;
}

// A GDI colour (0x00BBGGRR) as the drawing surface takes it (0xRRGGBB).
DWORD RgbOf(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

unsigned AddressBits(const void* p) {
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(p));
}

void LoadInto(const wchar_t* path, std::wstring& pathField, SkinImage& image, UINT dpi) {
    if (!path) return;
    pathField = path;
    image = LoadSkinImageFor(pathField, dpi);
}
}  // namespace

CImgBtn::CImgBtn() : m_hCursor(::LoadCursorW(nullptr, IDC_HAND)) {}

void CImgBtn::SetParam(const wchar_t* lpImgPath, const wchar_t* lpImgHoverPath,
                       const wchar_t* lpImgDisabledPath, const wchar_t* lpTitle) {
    m_lpIcon = SkinImage();
    DebugTraceN(kTraceCapacity, L"CImgBtn::SetParam lpImgPath:%s lpImgHoverPath:%s, lpTitle:%s",
                lpImgPath ? lpImgPath : L"(null)", lpImgHoverPath ? lpImgHoverPath : L"(null)",
                lpTitle ? lpTitle : L"(null)");
    const UINT dpi = Dpi();
    LoadInto(lpImgPath, m_strImgPath, m_lpIcon, dpi);
    LoadInto(lpImgHoverPath, m_strImgHoverPath, m_lpIconHover, dpi);
    LoadInto(lpImgDisabledPath, m_strImgDisabledPath, m_lpIconDisabled, dpi);
    m_strTitle = lpTitle ? lpTitle : L"";
}

UINT CImgBtn::Dpi() const {
    return m_dpi ? m_dpi : dpi::OfWindow(m_hWnd);
}

void CImgBtn::SetDpi(UINT dpi) {
    if (dpi == Dpi()) return;
    m_dpi = dpi;
    const auto reload = [dpi](const std::wstring& path, SkinImage& image) {
        if (image) image = LoadSkinImageFor(path, dpi);
    };
    reload(m_strImgPath, m_lpIcon);
    reload(m_strImgHoverPath, m_lpIconHover);
    reload(m_strImgDisabledPath, m_lpIconDisabled);
    if (m_hWnd) Invalidate(true);
}

void CImgBtn::PreSubclassWindow() {
    DebugTraceN(kTraceCapacity, L"CImgBtn::PreSubclassWindow");
    // The button asks its parent to paint it, and the parent hands the request back here.
    ModifyStyle(0, BS_OWNERDRAW);
    m_cues.Start(m_hWnd);
}

bool CImgBtn::PreTranslateMessage(MSG& msg) {
    // A quick second click arrives as a double click; make it count as a click.
    if (msg.hwnd == m_hWnd && msg.message == WM_LBUTTONDBLCLK) msg.message = WM_LBUTTONDOWN;
    return false;
}

LRESULT CImgBtn::OnReflectedDrawItem(WPARAM, LPARAM lParam, bool&) {
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
}

const SkinImage* CImgBtn::ChooseImage(const wchar_t*& label) const {
    if (m_Status == kNormal && m_lpIcon) {
        label = L"drawimage normal m_lpIcon:0x%08x return:0x%08x";
        return &m_lpIcon;
    }
    if (m_Status == kHover && m_lpIconHover) {
        label = L"drawimage hover m_lpIconHover:0x%08x return:0x%08x";
        return &m_lpIconHover;
    }
    label = L"drawimage disable m_lpIconDisabled:0x%08x return:0x%08x";
    return &m_lpIconDisabled;
}

void CImgBtn::DrawItem(const DRAWITEMSTRUCT& item) {
    DebugTraceN(kTraceCapacity, L"DrawItem m_bTracking:%d, m_Status:%d", m_bTracking, m_Status);
    const RECT client = ClientRect();
    const UINT dpi = Dpi();
    const bool contrast = high_contrast::IsOn();
    const wchar_t* label = nullptr;
    const SkinImage* face = ChooseImage(label);
    if (!contrast) DebugTraceN(kTraceCapacity, L"hdc=0x%08x", AddressBits(item.hDC));
    // Composed at the first paint of its state and copied at every later one, also in later
    // openings; each paint reports what composing it gave, as the paint that composed it did.
    const Composed composed = kept_pictures::Copy(
        item.hDC, 0, 0, FaceKey(*face, client, dpi, contrast), skin::kGroundColour, [&](HDC dc) {
            return contrast ? ComposeHighContrastFace(dc, client, dpi)
                            : ComposeFace(dc, *face, client, dpi);
        });
    if (contrast) return;
    DebugTraceN(kTraceCapacity, L"InitializeWrapper2:0x%x", composed.statuses[0]);
    if (composed.statuses[0] != 0) return;
    DebugTraceN(kTraceCapacity, label, AddressBits(face->get()), composed.statuses[1]);
}

// Everything the face is composed from: its size, the dpi, its image file, the caption, the
// state, the keyboard cues and the colour mode (in high contrast, its colours).
PictureKey CImgBtn::FaceKey(const SkinImage& face, const RECT& client, UINT dpi,
                            bool contrast) const {
    PictureKey key(L"button face", client, dpi, m_strTitle);
    key.source = face.stamp;
    key.largerSource = face.largerStamp;
    key.drawnWith = &face == &m_lpIcon        ? m_strImgPath
                    : &face == &m_lpIconHover ? m_strImgHoverPath
                                              : m_strImgDisabledPath;
    key.variant = static_cast<uint64_t>(m_Status) | (ShowsFocus() ? 0x10 : 0) |
                  (m_cues.AccessKeysHidden() ? 0x20 : 0) | (face ? 0x40 : 0) |
                  (static_cast<uint64_t>(face.factor) << 8);
    if (contrast) {
        key.variant |= 0x80;
        key.colours = high_contrast::PaletteBits();
    }
    return key;
}

// The face as it is drawn straight onto the button: its image at its own size (scaled by the
// dpi), the caption over it and the focus cue. Statuses: the drawing surface's, the image's.
Composed CImgBtn::ComposeFace(HDC dc, const SkinImage& face, const RECT& client, UINT dpi) const {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    Composed composed;
    {
        CGdiPlusWrapper surface;
        composed.statuses[0] =
            surface.InitializeWrapper2(dc, width, height, skin::kGroundColour, FALSE);
        if (composed.statuses[0] != 0) return composed;  // not kept: the next paint tries again
        Gdiplus::Image* image = face.get();
        DWORD drawn = CGdiPlusWrapper::kNotReady;
        if (dpi == dpi::kBase && face.factor == 1) {
            drawn = surface.DrawImage(image, 0, 0, -1, -1);
        } else if (image) {
            // The face's size at 96 dpi, scaled.
            const int imageWidth = static_cast<int>(image->GetWidth());
            const int imageHeight = static_cast<int>(image->GetHeight());
            drawn = surface.DrawImageScaled(
                image,
                Gdiplus::Rect(0, 0, dpi::Scale(imageWidth / face.factor, dpi),
                              dpi::Scale(imageHeight / face.factor, dpi)),
                Gdiplus::Rect(0, 0, imageWidth, imageHeight));
        }
        composed.statuses[1] = drawn;
        DrawCaption(surface, skin::kButtonCaptionColour, width, height, dpi);
        surface.Release();
    }
    if (ShowsFocus()) DrawFocusCue(dc, FocusCueRect(client, dpi), dpi, SkinFocusCueColours());
    composed.keep = true;
    return composed;
}

// The caption over the face, centred both ways; its access key underlined while the platform
// shows keyboard cues.
void CImgBtn::DrawCaption(CGdiPlusWrapper& surface, DWORD colour, int width, int height,
                          UINT dpi) const {
    if (m_strTitle.empty()) return;
    surface.SetFont(L"Segoe UI", dpi::Scale(skin::kButtonCaptionPixels, dpi),
                    Gdiplus::FontStyleBold);
    surface.SetTextColor(colour, 255);
    if (m_strTitle.find(L'&') != std::wstring::npos) {
        surface.SetHotkeyPrefix(m_cues.AccessKeysHidden() ? Gdiplus::HotkeyPrefixHide
                                                          : Gdiplus::HotkeyPrefixShow);
    }
    surface.DrawText(m_strTitle.c_str(), -1, 0, 0, 1, 1, width, height);
}

// High contrast: the button's face in the system's button colours (the highlight under the
// pointer), framed in its text colour, with the caption in grey text while disabled.
Composed CImgBtn::ComposeHighContrastFace(HDC dc, const RECT& client, UINT dpi) const {
    const bool hover = m_Status == kHover;
    const COLORREF face = high_contrast::Colour(hover ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    const COLORREF text = high_contrast::Colour(m_Status == kDisabled ? COLOR_GRAYTEXT
                                                : hover               ? COLOR_HIGHLIGHTTEXT
                                                                      : COLOR_BTNTEXT);
    const ui::UniqueBrush ground(::CreateSolidBrush(face));
    const ui::UniqueBrush line(::CreateSolidBrush(text));
    ::FillRect(dc, &client, ground.get());
    const int edge = std::max(1, dpi::Scale(1, dpi));
    for (RECT side : {RECT{client.left, client.top, client.right, client.top + edge},
                      RECT{client.left, client.bottom - edge, client.right, client.bottom},
                      RECT{client.left, client.top, client.left + edge, client.bottom},
                      RECT{client.right - edge, client.top, client.right, client.bottom}}) {
        ::FillRect(dc, &side, line.get());
    }
    CGdiPlusWrapper surface;
    if (surface.InitializeWrapper2(dc, client.right, client.bottom, 0, FALSE) == 0) {
        surface.SetTextSmoothing();
        DrawCaption(surface, RgbOf(text), client.right, client.bottom, dpi);
        surface.Release();
    }
    if (ShowsFocus()) DrawFocusCue(dc, FocusCueRect(client, dpi), dpi, {text, face});
    Composed composed;
    composed.keep = true;
    return composed;
}

bool CImgBtn::ShowsFocus() const {
    return ::GetFocus() == m_hWnd && !m_cues.FocusHidden();
}

LRESULT CImgBtn::OnSetCursor(WPARAM, LPARAM, bool& handled) {
    if (!m_hCursor) {
        handled = false;
        return 0;
    }
    ::SetCursor(m_hCursor);
    return TRUE;
}

LRESULT CImgBtn::OnEnable(WPARAM wParam, LPARAM lParam, bool&) {
    DebugTraceN(kTraceCapacity, L"CImgBtn::OnEnable bEnabled:%d", static_cast<int>(wParam));
    m_Status = wParam ? kNormal : kDisabled;
    const LRESULT result = DefaultProcessing(WM_ENABLE, wParam, lParam);
    Invalidate(true);
    return result;
}

LRESULT CImgBtn::OnMouseMove(WPARAM, LPARAM, bool& handled) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT request{sizeof request, TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bTracking = ::TrackMouseEvent(&request);
    }
    DebugTraceN(kTraceCapacity, L"OnMouseMove m_bTracking:%d, m_Status:%d", m_bTracking, m_Status);
    handled = false;
    return 0;
}

LRESULT CImgBtn::OnMouseHover(WPARAM, LPARAM, bool&) {
    Invalidate(true);
    m_Status = kHover;
    m_bTracking = 1;
    DebugTraceN(kTraceCapacity, L"OnMouseHover m_bTracking:%d, m_Status:%d", m_bTracking, m_Status);
    return 0;
}

LRESULT CImgBtn::OnMouseLeave(WPARAM, LPARAM, bool&) {
    Invalidate(true);
    m_Status = kNormal;
    DebugTraceN(kTraceCapacity, L"OnMouseLeave m_bTracking:%d, m_Status:%d", m_bTracking, m_Status);
    m_bTracking = 0;
    return 0;
}

// The platform repaints an owner-drawn button when its focus changes; the whole face is drawn
// again over an erased ground, so that no dot of the cue stays where the face has no pixel.
LRESULT CImgBtn::OnFocusChanged(WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    Invalidate(true);
    return 0;
}

LRESULT CImgBtn::OnUpdateUiState(WPARAM wParam, LPARAM lParam, bool&) {
    const LRESULT result = DefaultProcessing(WM_UPDATEUISTATE, wParam, lParam);
    if (m_cues.Update(m_hWnd, wParam)) Invalidate(true);
    return result;
}
