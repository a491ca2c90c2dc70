#include "MyToolTip.h"

#include "Dialog.h"

CMyToolTip::~CMyToolTip() {
    HWND tip = m_hWnd;
    Unsubclass();
    if (tip) ::DestroyWindow(tip);
}

BOOL CMyToolTip::Create(HWND owner, const wchar_t* text) {
    // The balloon belongs to the owner's top-level window and goes with it.
    HWND topLevel = ::GetAncestor(owner, GA_ROOT);
    if (!m_hWnd) {
        HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     topLevel, nullptr, ui::ResourceModule(), nullptr);
        if (!tip || !SubclassWindow(tip)) {
            if (tip) ::DestroyWindow(tip);
            return FALSE;
        }
    }
    m_text = text ? text : L"";
    m_toolInfo = TTTOOLINFOW{};
    m_toolInfo.cbSize = sizeof m_toolInfo;
    m_toolInfo.uFlags = TTF_IDISHWND | TTF_CENTERTIP | TTF_TRACK;
    m_toolInfo.hwnd = topLevel;
    m_toolInfo.uId = reinterpret_cast<UINT_PTR>(owner);
    m_toolInfo.hinst = nullptr;
    m_toolInfo.lpszText = text ? m_text.data() : nullptr;
    Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
    return TRUE;
}

void CMyToolTip::SetText(const wchar_t* text) {
    m_text = text ? text : L"";
    m_toolInfo.lpszText = m_text.data();
    if (m_hWnd) Send(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&m_toolInfo));
}

BOOL CMyToolTip::Show(UINT milliseconds) {
    if (!m_hWnd) return TRUE;
    // Point the balloon's stem at the middle of the owner's bottom edge.
    RECT owner{};
    ::GetWindowRect(reinterpret_cast<HWND>(m_toolInfo.uId), &owner);
    Send(TTM_TRACKPOSITION, 0, MAKELPARAM((owner.left + owner.right) / 2, owner.bottom));
    Send(TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_toolInfo));
    Send(TTM_UPDATE);
    ::SetTimer(m_hWnd, kHideTimerId, milliseconds, nullptr);
    return TRUE;
}

void CMyToolTip::Hide() {
    if (m_hWnd && IsVisible())
        Send(TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_toolInfo));
}

LRESULT CMyToolTip::OnTimer(WPARAM wParam, LPARAM, bool& handled) {
    if (wParam == kHideTimerId) {
        Hide();
        ::KillTimer(m_hWnd, kHideTimerId);
    }
    handled = false;
    return 0;
}

LRESULT CMyToolTip::OnLButtonDown(WPARAM, LPARAM, bool& handled) {
    Hide();
    handled = false;
    return 0;
}
