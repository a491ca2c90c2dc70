#pragma once

#include "Window.h"

namespace ui {

class Edit : public Window {
public:
    using Window::Window;
    int TextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void GetSel(DWORD& start, DWORD& end) const {
        Send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
};

}  // namespace ui
