// Thin, non-owning wrapper over a window handle: one-line methods over the Win32 calls.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Window {
public:
    Window() = default;
    explicit Window(HWND hwnd) : m_hWnd(hwnd) {}

    HWND Handle() const { return m_hWnd; }
    explicit operator bool() const { return m_hWnd != nullptr; }
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach() {
        HWND old = m_hWnd;
        m_hWnd = nullptr;
        return old;
    }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    bool Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam) != FALSE;
    }

    void SetText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetText() const;

    bool IsEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    void Enable(bool enable = true) const { ::EnableWindow(m_hWnd, enable ? TRUE : FALSE); }
    bool IsVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    void Show(int command = SW_SHOW) const { ::ShowWindow(m_hWnd, command); }
    void Hide() const { ::ShowWindow(m_hWnd, SW_HIDE); }
    void Move(int x, int y, int width, int height, bool repaint = true) const {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint ? TRUE : FALSE);
    }
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void Update() const { ::UpdateWindow(m_hWnd); }
    // Invalidate, erase and paint at once.
    void Redraw() const {
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }

    RECT ClientRect() const {
        RECT rc{};
        ::GetClientRect(m_hWnd, &rc);
        return rc;
    }
    RECT WindowRect() const {
        RECT rc{};
        ::GetWindowRect(m_hWnd, &rc);
        return rc;
    }
    LONG_PTR Style() const { return ::GetWindowLongPtrW(m_hWnd, GWL_STYLE); }
    void ModifyStyle(LONG_PTR remove, LONG_PTR add) const {
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, (Style() & ~remove) | add);
    }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND Parent() const { return ::GetParent(m_hWnd); }
    int Id() const { return ::GetDlgCtrlID(m_hWnd); }
    HFONT Font() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }

protected:
    HWND m_hWnd = nullptr;
};

inline std::wstring Window::GetText() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace ui
