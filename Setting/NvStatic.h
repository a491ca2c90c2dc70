// A static text with its own font, text and background colours and, optionally, the hand
// cursor. It reports clicks to its parent (the resize link, the message dialog's heading).
// Colours are GDI colour values (0x00BBGGRR); in high contrast it shows the system's (the link
// in the hot-light colour). A link is also a tab stop that the keyboard clicks.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"
#include "KeptPicture.h"
#include "KeyboardCues.h"
#include "MessageMap.h"
#include "Static.h"
#include "Subclassed.h"

class CNvStatic : public ui::Subclassed<ui::Static> {
public:
    CNvStatic();
    ~CNvStatic() override = default;

    void SetTextColor(COLORREF color, BOOL redraw);
    void SetBkColor(COLORREF color, BOOL redraw);
    void SetFont(const wchar_t* faceName, int points, int bold, BOOL underline, BOOL redraw);
    void SetHandCursor(BOOL on) { m_bHandCursor = on; }
    // The dpi the font set by SetFont is made for: by default the window's own; the dialog
    // sets it when it lays itself out at another dpi (the font is made again).
    void SetDpi(UINT dpi);
    // Makes the control a link the keyboard reaches: a tab stop that Space, its access key and
    // a screen reader's default action click as the mouse does, with a focus cue.
    void ActAsLink();
    bool IsLink() const { return m_bLink; }

    COLORREF TextColor() const { return m_crText; }
    COLORREF BkColor() const { return m_crBk; }

protected:
    void PreSubclassWindow() override;

    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_KEYUP, OnKeyUp)
        MESSAGE_HANDLER(BM_CLICK, OnClick)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChanged)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChanged)
    END_MSG_MAP()

private:
    LRESULT OnPaint(WPARAM, LPARAM, bool& handled);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM, bool&);
    LRESULT OnSetCursor(WPARAM, LPARAM, bool&);
    LRESULT OnEnable(WPARAM, LPARAM, bool& handled);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnGetDlgCode(WPARAM, LPARAM, bool& handled);
    LRESULT OnKeyDown(WPARAM key, LPARAM, bool& handled);
    LRESULT OnKeyUp(WPARAM key, LPARAM, bool& handled);
    LRESULT OnClick(WPARAM, LPARAM, bool& handled);
    LRESULT OnFocusChanged(WPARAM, LPARAM, bool& handled);
    // What a paint shows, apart from the control's size and font.
    struct Look {
        bool contrast = false;
        COLORREF text = 0;
        COLORREF ground = 0;
        std::wstring caption;
        UINT format = 0;
        bool focus = false;
    };
    Look CurrentLook(bool contrast) const;
    PictureKey KeyOf(const Look& look, const RECT& client) const;
    Composed Compose(HDC dc, const Look& look, const RECT& client) const;
    void RedrawIf(BOOL redraw) const;
    void MakeFont();
    void Click() const;
    UINT Dpi() const;

    ui::UniqueFont m_font;
    COLORREF m_crText;
    COLORREF m_crBk;
    ui::UniqueBrush m_brBk;
    int m_nBold = 0;
    LOGFONTW m_logFont{};   // as set by SetFont, at m_nPoints
    int m_nPoints = 0;      // 0 until SetFont
    UINT m_dpi = 0;         // 0: the window's own
    HCURSOR m_hHandCursor;  // shared system cursor, not owned
    BOOL m_bHandCursor = FALSE;
    bool m_bLink = false;
    bool m_bSpaceDown = false;  // Space went down on the link: its release clicks
    ui::KeyboardCues m_cues;
};
