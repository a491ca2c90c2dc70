#include "CloseBox.h"

#include "Dialog.h"

bool CCloseBox::Create(HWND dialog, int id, const RECT& area, const std::wstring& name) {
    // Owner-drawn: the platform leaves the painting to the dialog, which draws nothing for it.
    HWND hwnd = ::CreateWindowExW(
        WS_EX_NOPARENTNOTIFY, L"Button", name.c_str(),
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_OWNERDRAW, area.left, area.top,
        area.right - area.left, area.bottom - area.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ui::ResourceModule(), nullptr);
    return hwnd && SubclassWindow(hwnd);
}

void CCloseBox::Place(const RECT& area) const {
    if (!m_hWnd) return;
    ::SetWindowPos(m_hWnd, nullptr, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CCloseBox::ShowsFocus() const {
    return m_hWnd && ::GetFocus() == m_hWnd && !m_cues.FocusHidden();
}

LRESULT CCloseBox::OnFocusChanged(WPARAM, LPARAM, bool& handled) {
    handled = false;
    RepaintCue();
    return 0;
}

LRESULT CCloseBox::OnUpdateUiState(WPARAM wParam, LPARAM lParam, bool&) {
    const LRESULT result = DefaultProcessing(WM_UPDATEUISTATE, wParam, lParam);
    if (m_cues.Update(m_hWnd, wParam)) RepaintCue();
    return result;
}

void CCloseBox::RepaintCue() const {
    ::InvalidateRect(Parent(), &m_cueArea, TRUE);
}
