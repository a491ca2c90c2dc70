#include "PhaseHook.h"

#include "Clock.h"

namespace bench {
namespace {

Phases g_phases;

LRESULT CALLBACK NotePhase(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message) {
        const bool dialog = (::GetWindowLongPtrW(message->hwnd, GWL_STYLE) & WS_CHILD) == 0;
        if (message->message == WM_INITDIALOG) g_phases.initialised = Now();
        if (message->message == WM_SHOWWINDOW && message->wParam && dialog && !g_phases.shown)
            g_phases.shown = Now();
        if (message->message == WM_ERASEBKGND && dialog && !g_phases.firstErase)
            g_phases.firstErase = Now();
        switch (message->message) {
            case WM_PAINT:
            case WM_ERASEBKGND:
            case WM_PRINTCLIENT:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_DRAWITEM:
                g_phases.lastPaint = Now();
                break;
            default:
                break;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

PhaseHook::PhaseHook()
    : m_hook(::SetWindowsHookExW(WH_CALLWNDPROCRET, NotePhase, nullptr, ::GetCurrentThreadId())) {}

PhaseHook::~PhaseHook() {
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
}

void PhaseHook::Start(double start) {
    g_phases = Phases{start};
}

const Phases& PhaseHook::Noted() {
    return g_phases;
}

}  // namespace bench
