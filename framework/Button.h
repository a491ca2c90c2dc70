#pragma once

#include "Window.h"

namespace ui {

class Button : public Window {
public:
    using Window::Window;
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    bool IsChecked() const { return GetCheck() == BST_CHECKED; }
    void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
    void SetCheck(bool checked) const { SetCheck(checked ? BST_CHECKED : BST_UNCHECKED); }
};

}  // namespace ui
