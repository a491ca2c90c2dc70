#pragma once

#include "Window.h"

namespace ui {

class Static : public Window {
public:
    using Window::Window;
};

}  // namespace ui
