// Thin, non-owning wrapper over a window handle: one-line methods over the Win32 calls.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Window {
public:
    Window() = default;
    explicit Window(HWND hwnd) : hwnd_(hwnd) {}

    HWND Handle() const { return hwnd_; }
    explicit operator bool() const { return hwnd_ != nullptr; }
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    HWND Detach() {
        HWND old = hwnd_;
        hwnd_ = nullptr;
        return old;
    }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(hwnd_, msg, wParam, lParam);
    }
    bool Post(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(hwnd_, msg, wParam, lParam) != FALSE;
    }

    void SetText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
    std::wstring GetText() const;

    bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
    void Enable(bool enable = true) const { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
    void Show(int command = SW_SHOW) const { ::ShowWindow(hwnd_, command); }
    void Hide() const { ::ShowWindow(hwnd_, SW_HIDE); }
    void Move(int x, int y, int width, int height, bool repaint = true) const {
        ::MoveWindow(hwnd_, x, y, width, height, repaint ? TRUE : FALSE);
    }
    void Invalidate(bool erase = true) const { ::InvalidateRect(hwnd_, nullptr, erase); }
    void Update() const { ::UpdateWindow(hwnd_); }
    // Invalidate, erase and paint at once.
    void Redraw() const {
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }

    RECT ClientRect() const {
        RECT rc{};
        ::GetClientRect(hwnd_, &rc);
        return rc;
    }
    RECT WindowRect() const {
        RECT rc{};
        ::GetWindowRect(hwnd_, &rc);
        return rc;
    }
    LONG_PTR Style() const { return ::GetWindowLongPtrW(hwnd_, GWL_STYLE); }
    void ModifyStyle(LONG_PTR remove, LONG_PTR add) const {
        ::SetWindowLongPtrW(hwnd_, GWL_STYLE, (Style() & ~remove) | add);
    }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    HWND Parent() const { return ::GetParent(hwnd_); }
    int Id() const { return ::GetDlgCtrlID(hwnd_); }
    HFONT Font() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }

protected:
    HWND hwnd_ = nullptr;
};

inline std::wstring Window::GetText() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace ui
