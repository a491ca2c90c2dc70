#include "Dpi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int mask, int values);
constexpr int kDisableAllScaling = 1;  // DDC_DISABLE_ALL

template <class Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

// Looked up when the module loads: the functions exist from Windows 10 1607 and 1703 on.
const GetDpiForWindowFn g_getDpiForWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
const SetDialogDpiChangeBehaviorFn g_setDialogDpiChangeBehavior =
    User32<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");

UINT ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : dpi::kBase;
}

}  // namespace

namespace dpi {

UINT OfWindow(HWND window) {
    if (g_getDpiForWindow && window) {
        if (const UINT dpi = g_getDpiForWindow(window)) return dpi;
    }
    return ScreenDpi();
}

void HandleDpiChangesItself(HWND dialog) {
    if (g_setDialogDpiChangeBehavior && dialog)
        g_setDialogDpiChangeBehavior(dialog, kDisableAllScaling, kDisableAllScaling);
}

}  // namespace dpi
