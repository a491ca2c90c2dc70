#include "NvStatic.h"

#include <cwchar>
#include <string>

#include "Dpi.h"
#include "FocusCue.h"
#include "HighContrast.h"
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
    HDC dc = paint.Get();
    ui::SavedDcState saved(dc);
    const int textIndex = !IsEnabled() ? COLOR_GRAYTEXT
                          : m_bLink    ? COLOR_HOTLIGHT
                                       : COLOR_WINDOWTEXT;
    const COLORREF text = contrast ? high_contrast::Colour(textIndex) : m_crText;
    const COLORREF ground = contrast ? high_contrast::Colour(COLOR_WINDOW) : m_crBk;
    HBRUSH brush = contrast ? ::GetSysColorBrush(COLOR_WINDOW) : m_brBk.get();
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, ground);
    ::SetBkMode(dc, OPAQUE);
    ::SelectObject(dc, brush);
    RECT client = ClientRect();
    ::FillRect(dc, &client, brush);
    if (m_font) ::SelectObject(dc, m_font.get());

    const std::wstring caption = GetText();
    const LONG_PTR style = Style();
    UINT format = DT_LEFT;
    if (style & SS_CENTER) {
        format = DT_CENTER;
    } else if (style & SS_RIGHT) {
        format = DT_RIGHT;
    }
    format |= (style & SS_CENTERIMAGE) ? DT_SINGLELINE | DT_VCENTER : DT_WORDBREAK;
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (m_cues.AccessKeysHidden()) format |= DT_HIDEPREFIX;
    RECT textRect = client;
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect, format);
    if (m_bLink && ::GetFocus() == m_hWnd && !m_cues.FocusHidden())
        DrawFocusCue(dc, client, Dpi(),
                     contrast ? FocusCueColours{text, ground} : SkinFocusCueColours());
    return 0;
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
