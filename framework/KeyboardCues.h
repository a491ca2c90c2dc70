// The platform's keyboard cues for one window that draws its own focus or access keys: whether
// focus rectangles and access-key underlines are hidden (they are while the mouse is in use).
// The window takes the state it starts with and follows each WM_UPDATEUISTATE itself, as the
// platform's controls do.
#pragma once

#include <windows.h>

namespace ui {

class KeyboardCues {
public:
    // The state the window starts with.
    void Start(HWND hwnd) { Query(hwnd); }

    // After the default processing of WM_UPDATEUISTATE: the change it carries (the platform
    // decides an "initialize" itself). True when what the window shows changed.
    bool Update(HWND hwnd, WPARAM wParam) {
        const WORD before = m_hidden;
        const WORD flags = HIWORD(wParam) & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
        switch (LOWORD(wParam)) {
            case UIS_SET:
                m_hidden |= flags;
                break;
            case UIS_CLEAR:
                m_hidden &= static_cast<WORD>(~flags);
                break;
            default:
                Query(hwnd);
                break;
        }
        return m_hidden != before;
    }

    bool FocusHidden() const { return (m_hidden & UISF_HIDEFOCUS) != 0; }
    bool AccessKeysHidden() const { return (m_hidden & UISF_HIDEACCEL) != 0; }

private:
    void Query(HWND hwnd) {
        m_hidden =
            LOWORD(::SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0)) & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
    }

    WORD m_hidden = 0;
};

}  // namespace ui
