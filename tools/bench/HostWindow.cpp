#include "HostWindow.h"

#include <utility>

#include "Clock.h"

namespace bench {
namespace {

HostWindow::AtIdle g_onIdle;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_onIdle) {
        auto handler = std::move(g_onIdle);  // once per opening
        g_onIdle = nullptr;
        handler(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HostWindow::HostWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SettingBenchHost";
    ::RegisterClassW(&windowClass);
    m_window = ::CreateWindowW(L"SettingBenchHost", L"Bench host", WS_OVERLAPPEDWINDOW, 0, 0, 800,
                               640, nullptr, nullptr, windowClass.hInstance, nullptr);
    ::ShowWindow(m_window, SW_SHOW);
    ::UpdateWindow(m_window);
}

HostWindow::~HostWindow() {
    ::DestroyWindow(m_window);
}

double HostWindow::TimeToIdle(const AtIdle& atIdle, const std::function<void()>& open) {
    double opened = 0;
    const double start = Now();
    g_onIdle = [&](HWND dialog) {
        // The platform's modal loop reports idle as soon as it has shown the dialog, before
        // the controls have painted; a dialog is open for its user once they have. What is
        // still to paint is painted here, for both dialogs alike.
        ::RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        opened = Now() - start;
        atIdle(dialog);
    };
    open();
    return opened;
}

}  // namespace bench
