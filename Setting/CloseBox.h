// The close box of the settings dialog as a window of its own, so that the keyboard reaches it
// and a screen reader finds it: a button named "Close" (or the configured text) that Space,
// its access key and a screen reader's default action press. It draws nothing and lets every
// mouse event through to the dialog, which paints the close box on its title band and handles
// clicks there as it always has; the window only tells the dialog when to show its focus cue.
#pragma once

#include <windows.h>

#include <string>

#include "Button.h"
#include "KeyboardCues.h"
#include "MessageMap.h"
#include "Subclassed.h"

class CCloseBox : public ui::Subclassed<ui::Button> {
public:
    // Makes the window over `area` (in the dialog's client coordinates), after the dialog's
    // other controls: it comes last in the order of the Tab key.
    bool Create(HWND dialog, int id, const RECT& area, const std::wstring& name);
    void Place(const RECT& area) const;
    // What the dialog repaints when the focus cue comes or goes: the picture with its cue.
    void SetCueArea(const RECT& area) { m_cueArea = area; }
    // Whether the dialog draws the focus cue around the close box's picture.
    bool ShowsFocus() const;

protected:
    void PreSubclassWindow() override { m_cues.Start(m_hWnd); }

    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(WM_NCHITTEST, OnHitTest)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
        MESSAGE_HANDLER(ui::kReflectedDrawItem, OnDrawItem)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChanged)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChanged)
        MESSAGE_HANDLER(WM_UPDATEUISTATE, OnUpdateUiState)
    END_MSG_MAP()

private:
    LRESULT OnHitTest(WPARAM, LPARAM, bool&) { return HTTRANSPARENT; }
    LRESULT OnEraseBkgnd(WPARAM, LPARAM, bool&) { return TRUE; }
    LRESULT OnDrawItem(WPARAM, LPARAM, bool&) { return TRUE; }
    LRESULT OnFocusChanged(WPARAM, LPARAM, bool& handled);
    LRESULT OnUpdateUiState(WPARAM wParam, LPARAM lParam, bool&);
    void RepaintCue() const;

    RECT m_cueArea{};
    ui::KeyboardCues m_cues;
};
