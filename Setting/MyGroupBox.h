// A static control drawn as a framed section: a thin frame from the nine-slice bitmap
// Line_Frame.bmp, 9 pixels below the control's top, with the control's text as caption
// across the frame's top edge. In high contrast the frame is a line in the window text colour.
#pragma once

#include <windows.h>

#include <string>

#include "FileStamp.h"
#include "GdiPlus.h"
#include "Handles.h"
#include "MessageMap.h"
#include "Static.h"
#include "Subclassed.h"

class CMyGroupBox : public ui::Subclassed<ui::Static> {
public:
    CMyGroupBox();
    ~CMyGroupBox() override = default;

    // Caption font: "points" is converted for the display; weight 700 when bold > 0. The
    // control is redrawn at once, whatever `redraw` says.
    void SetFont(const wchar_t* faceName, int points, int bold, BOOL underline, BOOL redraw);

    const std::wstring& BitmapPath() const { return m_tszBmpPath; }
    // The dpi the frame and caption are drawn at: by default the window's own; the dialog
    // sets it when it lays itself out at another dpi.
    void SetDpi(UINT dpi);

protected:
    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    END_MSG_MAP()

private:
    LRESULT OnPaint(WPARAM, LPARAM, bool&);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM, bool&);
    void DrawFrame(HDC dc, UINT dpi);
    void DrawHighContrastFrame(HDC dc, UINT dpi) const;
    void DrawCaption(HDC dc, const std::wstring& caption, UINT dpi, bool contrast) const;
    void MakeFont();
    UINT Dpi() const;

    std::wstring m_tszBmpPath;  // empty when the host folder is too long for the path buffer
    RECT m_rcClient{};
    int m_nBold = 0;
    ui::UniqueFont m_font;
    LOGFONTW m_logFont{};      // as set by SetFont, at m_nPoints
    int m_nPoints = 0;         // 0 until SetFont
    UINT m_dpi = 0;            // 0: the window's own
    SkinImage m_frameImage;    // Line_Frame.bmp (or its larger copy), once decoded
    UINT m_frameImageDpi = 0;  // the dpi it was chosen for
    FileStamp m_frameStamp;    // the file as it was then
};
