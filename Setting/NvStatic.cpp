#include "NvStatic.h"

#include <cwchar>
#include <string>

#include "Dpi.h"
#include "FocusCue.h"
#include "HighContrast.h"
#include "KeptPicture.h"
#include "SkinFrame.h"

CNvStatic::CNvStatic()
    : m_crText(::GetSysColor(COLOR_BTNTEXT)),
      m_crBk(::GetSysColor(COLOR_BTNFACE)),
      m_brBk(::CreateSolidBrush(m_crBk)),
      m_hHandCursor(::LoadCursorW(nullptr, IDC_HAND)) {}

void CNvStatic::PreSubclassWindow() {
    // The text font starts as a copy of the control's own font, so the caller can free its
    // font while this one lives.
    HGDIOBJ source = reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT));
    if (!source) source = ::GetStockObject(DEFAULT_GUI_FONT);
    if (!source) source = ::GetStockObject(SYSTEM_FONT);
    LOGFONTW logFont{};
    if (source && ::GetObjectW(source, sizeof logFont, &logFont)) {
        m_font.reset(::CreateFontIndirectW(&logFont));
    }
    // Clicks reach the parent as STN_CLICKED.
    ModifyStyle(0, SS_NOTIFY);
    m_cues.Start(m_hWnd);
}

void CNvStatic::ActAsLink() {
    m_bLink = true;
    if (m_hWnd) ModifyStyle(0, WS_TABSTOP);
}

void CNvStatic::RedrawIf(BOOL redraw) const {
    if (redraw && m_hWnd) Redraw();
}

void CNvStatic::SetTextColor(COLORREF color, BOOL redraw) {
    m_crText = color;
    RedrawIf(redraw);
}

void CNvStatic::SetBkColor(COLORREF color, BOOL redraw) {
    m_crBk = color;
    m_brBk.reset(::CreateSolidBrush(color));
    RedrawIf(redraw);
}

void CNvStatic::SetFont(const wchar_t* faceName, int points, int bold, BOOL underline,
                        BOOL redraw) {
    m_nBold = bold;
    m_nPoints = points;
    m_logFont = LOGFONTW{};
    m_logFont.lfWeight = bold > 0 ? FW_BOLD : FW_NORMAL;
    m_logFont.lfUnderline = underline ? TRUE : FALSE;
    if (faceName) wcsncpy(m_logFont.lfFaceName, faceName, LF_FACESIZE - 1);
    MakeFont();
    RedrawIf(redraw);
}

void CNvStatic::SetDpi(UINT dpi) {
    m_dpi = dpi;
    if (m_nPoints) MakeFont();
    RedrawIf(TRUE);
}

UINT CNvStatic::Dpi() const {
    return m_dpi ? m_dpi : dpi::OfWindow(m_hWnd);
}

void CNvStatic::MakeFont() {
    m_logFont.lfHeight = PointSizeToLogHeight(m_nPoints, Dpi());
    m_font.reset(::CreateFontIndirectW(&m_logFont));
}

LRESULT CNvStatic::OnPaint(WPARAM, LPARAM, bool& handled) {
    const bool contrast = high_contrast::IsOn();
    if (!IsEnabled() && !contrast) {
        handled = false;  // the platform's own look of a disabled static text
        return 0;
    }
    ui::PaintDc paint(m_hWnd);
    const Look look = CurrentLook(contrast);
    const RECT client = ClientRect();
    // Composed once for what it shows and copied at every later paint, also in later openings.
    kept_pictures::Copy(paint.Get(), 0, 0, KeyOf(look, client), look.ground,
                        [&](HDC dc) { return Compose(dc, look, client); });
    return 0;
}

// The text, its colours, format and focus cue as they are now.
CNvStatic::Look CNvStatic::CurrentLook(bool contrast) const {
    Look look;
    look.contrast = contrast;
    const int textIndex = !IsEnabled() ? COLOR_GRAYTEXT
                          : m_bLink    ? COLOR_HOTLIGHT
                                       : COLOR_WINDOWTEXT;
    look.text = contrast ? high_contrast::Colour(textIndex) : m_crText;
    look.ground = contrast ? high_contrast::Colour(COLOR_WINDOW) : m_crBk;
    look.caption = GetText();
    const LONG_PTR style = Style();
    look.format = DT_LEFT;
    if (style & SS_CENTER) {
        look.format = DT_CENTER;
    } else if (style & SS_RIGHT) {
        look.format = DT_RIGHT;
    }
    look.format |= (style & SS_CENTERIMAGE) ? DT_SINGLELINE | DT_VCENTER : DT_WORDBREAK;
    if (style & SS_NOPREFIX) look.format |= DT_NOPREFIX;
    if (m_cues.AccessKeysHidden()) look.format |= DT_HIDEPREFIX;
    look.focus = m_bLink && ::GetFocus() == m_hWnd && !m_cues.FocusHidden();
    return look;
}

PictureKey CNvStatic::KeyOf(const Look& look, const RECT& client) const {
    PictureKey key(L"static text", client, Dpi(), look.caption);
    // The font as it is, whatever made it.
    key.drawnWith = kept_pictures::DescribeFont(m_font.get());
    key.variant = look.format | (look.focus ? 0x80000000ull : 0) |
                  (look.contrast ? 0x40000000ull : 0) | (m_font ? 0 : 0x20000000ull);
    key.colours = (static_cast<uint64_t>(look.text) << 32) | look.ground;
    if (look.contrast) key.colours ^= high_contrast::PaletteBits();
    return key;
}

// The text on its ground as the control has always drawn it, and the link's focus cue.
Composed CNvStatic::Compose(HDC dc, const Look& look, const RECT& client) const {
    // The ground first, also when the picture is too large to keep and is drawn in place.
    ::SetBkColor(dc, look.ground);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    ::SetTextColor(dc, look.text);
    ::SetBkMode(dc, OPAQUE);
    // Selected only while drawing: the kept picture's context outlives the font.
    ui::SelectGuard font(
        dc, m_font ? static_cast<HGDIOBJ>(m_font.get()) : ::GetStockObject(SYSTEM_FONT));
    RECT textRect = client;
    ::DrawTextW(dc, look.caption.c_str(), static_cast<int>(look.caption.size()), &textRect,
                look.format);
    if (look.focus)
        DrawFocusCue(
            dc, client, Dpi(),
            look.contrast ? FocusCueColours{look.text, look.ground} : SkinFocusCueColours());
    Composed composed;
    composed.keep = true;
    return composed;
}

LRESULT CNvStatic::OnEraseBkgnd(WPARAM wParam, LPARAM, bool&) {
    RECT client = ClientRect();
    ::FillRect(reinterpret_cast<HDC>(wParam), &client,
               high_contrast::IsOn() ? ::GetSysColorBrush(COLOR_WINDOW) : m_brBk.get());
    return TRUE;
}

LRESULT CNvStatic::OnSetCursor(WPARAM, LPARAM, bool&) {
    if (!m_bHandCursor) return FALSE;  // not handled, and the cursor left as it is
    ::SetCursor(m_hHandCursor);
    return TRUE;
}

LRESULT CNvStatic::OnEnable(WPARAM wParam, LPARAM, bool& handled) {
    if (wParam) Invalidate(true);
    handled = false;
    return 0;
}

LRESULT CNvStatic::OnUpdateUiState(WPARAM wParam, LPARAM lParam, bool&) {
    const LRESULT result = DefaultProcessing(WM_UPDATEUISTATE, wParam, lParam);
    if (m_cues.Update(m_hWnd, wParam)) Invalidate(true);
    return result;
}

// A link answers as a button does, so that the dialog manager clicks it for its access key
// (BM_CLICK) instead of moving the focus on as it does for a label.
LRESULT CNvStatic::OnGetDlgCode(WPARAM, LPARAM, bool& handled) {
    if (!m_bLink) {
        handled = false;
        return 0;
    }
    return DLGC_BUTTON;
}

// Space clicks a link when it is let go, as it does a button.
LRESULT CNvStatic::OnKeyDown(WPARAM key, LPARAM, bool& handled) {
    handled = false;
    if (m_bLink && key == VK_SPACE) m_bSpaceDown = true;
    return 0;
}

LRESULT CNvStatic::OnKeyUp(WPARAM key, LPARAM, bool& handled) {
    handled = false;
    if (!m_bLink || key != VK_SPACE || !m_bSpaceDown) return 0;
    m_bSpaceDown = false;
    Click();
    return 0;
}

LRESULT CNvStatic::OnClick(WPARAM, LPARAM, bool& handled) {
    if (!m_bLink) {
        handled = false;
        return 0;
    }
    Click();
    return 0;
}

LRESULT CNvStatic::OnFocusChanged(WPARAM, LPARAM, bool& handled) {
    m_bSpaceDown = false;
    if (m_bLink) Invalidate(true);
    handled = false;
    return 0;
}

// What a mouse click on the control sends its parent.
void CNvStatic::Click() const {
    ::SendMessageW(Parent(), WM_COMMAND, MAKEWPARAM(Id(), STN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hWnd));
}
