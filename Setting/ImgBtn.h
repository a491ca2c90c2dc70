// A push button that paints its whole face: the normal, hover or disabled image, with an
// optional white caption over it, and the hand cursor while the pointer is over it. With the
// keyboard focus it shows a focus cue; in high contrast it is drawn in the system's button
// colours instead of its images.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Button.h"
#include "GdiPlusWrapper.h"
#include "GdiPlus.h"
#include "KeptPicture.h"
#include "KeyboardCues.h"
#include "MessageMap.h"
#include "Subclassed.h"

class CImgBtn : public ui::Subclassed<ui::Button> {
public:
    enum Status { kNormal = 0, kHover = 1, kDisabled = 3 };

    CImgBtn();
    ~CImgBtn() override = default;

    // Loads the images of the paths that are not null (normal, hover, disabled) and sets the
    // caption. The normal image is always dropped first.
    void SetParam(const wchar_t* lpImgPath, const wchar_t* lpImgHoverPath,
                  const wchar_t* lpImgDisabledPath, const wchar_t* lpTitle);

    int DrawStatus() const { return m_Status; }
    // The dpi the faces and the caption are drawn at: by default the window's own; the dialog
    // sets it when it lays itself out at another dpi (the faces are chosen again).
    void SetDpi(UINT dpi);
    bool PreTranslateMessage(MSG& msg) override;

protected:
    void PreSubclassWindow() override;
    void DrawItem(const DRAWITEMSTRUCT& item);

    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(ui::kReflectedDrawItem, OnReflectedDrawItem)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSEHOVER, OnMouseHover)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChanged)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChanged)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
    END_MSG_MAP()

private:
    LRESULT OnReflectedDrawItem(WPARAM, LPARAM lParam, bool&);
    LRESULT OnSetCursor(WPARAM, LPARAM, bool& handled);
    LRESULT OnEnable(WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnMouseMove(WPARAM, LPARAM, bool& handled);
    LRESULT OnMouseHover(WPARAM, LPARAM, bool&);
    LRESULT OnMouseLeave(WPARAM, LPARAM, bool&);
    LRESULT OnFocusChanged(WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam, bool&);
    const SkinImage* ChooseImage(const wchar_t*& label) const;
    void DrawCaption(CGdiPlusWrapper& surface, DWORD colour, int width, int height, UINT dpi) const;
    PictureKey FaceKey(const SkinImage& face, const RECT& client, UINT dpi, bool contrast) const;
    Composed ComposeFace(HDC dc, const SkinImage& face, const RECT& client, UINT dpi) const;
    Composed ComposeHighContrastFace(HDC dc, const RECT& client, UINT dpi) const;
    bool ShowsFocus() const;
    UINT Dpi() const;

    SkinImage m_lpIcon;
    SkinImage m_lpIconHover;
    SkinImage m_lpIconDisabled;
    UINT m_dpi = 0;  // 0: the window's own
    std::wstring m_strTitle;
    std::wstring m_strImgPath;
    std::wstring m_strImgHoverPath;
    std::wstring m_strImgDisabledPath;
    HCURSOR m_hCursor;  // shared system cursor, not owned
    int m_bTracking = 0;
    int m_Status = kNormal;
    ui::KeyboardCues m_cues;
};
