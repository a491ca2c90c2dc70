// The window the measured dialogs open over. A modal dialog's loop sends its owner
// WM_ENTERIDLE once its queue is empty, and what is still to paint is painted: the dialog is
// open, painted and idle.
#pragma once

#include <windows.h>

#include <functional>

namespace bench {

class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return m_window; }

    // Runs `open`, which opens a modal dialog over this window and returns when it has closed;
    // `atIdle` runs when the dialog is up and idle and must end it. Returns the time from the
    // call to that moment, in milliseconds.
    using AtIdle = std::function<void(HWND dialog)>;
    double TimeToIdle(const AtIdle& atIdle, const std::function<void()>& open);

private:
    HWND m_window;
};

}  // namespace bench
