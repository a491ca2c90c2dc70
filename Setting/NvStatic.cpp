#include "NvStatic.h"

#include <cwchar>
#include <string>

#include "Dpi.h"
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

void CNvStatic::MakeFont() {
    m_logFont.lfHeight = PointSizeToLogHeight(m_nPoints, m_dpi ? m_dpi : dpi::OfWindow(m_hWnd));
    m_font.reset(::CreateFontIndirectW(&m_logFont));
}

LRESULT CNvStatic::OnPaint(WPARAM, LPARAM, bool& handled) {
    if (!IsEnabled()) {
        handled = false;  // the platform's own look of a disabled static text
        return 0;
    }
    ui::PaintDc paint(m_hWnd);
    HDC dc = paint.Get();
    ui::SavedDcState saved(dc);
    ::SetTextColor(dc, m_crText);
    ::SetBkColor(dc, m_crBk);
    ::SetBkMode(dc, OPAQUE);
    ::SelectObject(dc, m_brBk.get());
    RECT client = ClientRect();
    ::FillRect(dc, &client, m_brBk.get());
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
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &client, format);
    return 0;
}

LRESULT CNvStatic::OnEraseBkgnd(WPARAM wParam, LPARAM, bool&) {
    RECT client = ClientRect();
    ::FillRect(reinterpret_cast<HDC>(wParam), &client, m_brBk.get());
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
