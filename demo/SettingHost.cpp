// SettingHost: a plain host program for Setting.dll. It loads the module the way the
// product's programs do (LoadLibrary, then the export by name) and calls ShowDlgSetting with
// its main window.
//
//   SettingHost.exe                     main window with a "Settings..." button
//   SettingHost.exe /show               open the dialog at once; exit when it has closed
//   SettingHost.exe /show /noparent     the same with a null parent window
//   SettingHost.exe /show /repeat N     open it N times in a row (each closed by the user)
//   SettingHost.exe /screenshot FILE    open it, save a PNG of it once it has painted, close it
//   SettingHost.exe /show /autoclose    close each opening (as the close request does) as soon
//                                       as it is up and idle; with /repeat, for leak checks
//   SettingHost.exe ... /probe FILE     write the resource probe (harness/ResourceProbe.h) to
//                                       FILE before the first opening, after it and after the
//                                       last
//   SettingHost.exe ... /reload         with /repeat: unload the module and load it again
//                                       between openings (lifetime checks)
//   SettingHost.exe ... /keepcommoncontrols  keep the common controls 6 library that the
//                                       module's manifest selects loaded across /reload, so
//                                       that only the module itself is unloaded
//
// The message kMoveToDpi (WM_APP + 2, harness/HostProtocol.h) posted to the main window (wParam
// the new dpi, lParam the dialog's present dpi) tells the open dialog what the platform tells
// a per-monitor aware window moved to a monitor of another dpi: WM_DPICHANGED with its
// rectangle scaled. Tests use it where the platform has a single dpi.
//
// The message kForceHighContrast (WM_APP + 3, wParam 1 or 0) makes the module see high contrast
// on, or as the platform has it: Wine cannot switch it on, so the host answers the module's
// question for it (its import of SystemParametersInfoW).
//
// Exit code: 0, or 3 when Setting.dll (or a library it needs) cannot be loaded.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "GdiPlusSession.h"
#include "HostProtocol.h"
#include "ImportPatch.h"
#include "ManifestContext.h"
#include "ResourceProbe.h"
#include "WindowPng.h"

namespace {

using ShowDlgSettingFn = void(WINAPI*)(HWND);
using harness::host::kForceHighContrast;
using harness::host::kMoveToDpi;
using harness::host::kOpenNow;
using harness::host::kSettingsButton;

struct Options {
    bool show = false;
    bool noParent = false;
    bool autoClose = false;
    bool reload = false;
    bool keepCommonControls = false;
    int repeat = 1;
    std::wstring screenshot;
    std::wstring probe;
};

struct Host {
    Options options;
    HMODULE module = nullptr;
    ShowDlgSettingFn showDlgSetting = nullptr;
    HWND window = nullptr;
    bool screenshotTaken = false;
    std::optional<harness::ImportPatch> highContrast;  // while the module is told it is on
};

Host g_host;

using SystemParametersInfoFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);

// The platform's answers, except that high contrast is on.
BOOL WINAPI AnswerHighContrastOn(UINT action, UINT param, PVOID value, UINT flags) {
    if (action == SPI_GETHIGHCONTRAST && value) {
        auto* answer = static_cast<HIGHCONTRASTW*>(value);
        answer->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
        answer->lpszDefaultScheme = nullptr;
        return TRUE;
    }
    return g_host.highContrast->Original<SystemParametersInfoFn>()(action, param, value, flags);
}

void ForceHighContrast(bool on) {
    g_host.highContrast.reset();
    if (on && g_host.module) {
        g_host.highContrast.emplace(g_host.module, "USER32.dll", "SystemParametersInfoW",
                                    reinterpret_cast<const void*>(&AnswerHighContrastOn));
    }
}

Options ParseOptions() {
    Options options;
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; args && i < count; ++i) {
        const std::wstring arg = args[i];
        if (arg == L"/show") {
            options.show = true;
        } else if (arg == L"/autoclose") {
            options.autoClose = true;
        } else if (arg == L"/reload") {
            options.reload = true;
        } else if (arg == L"/keepcommoncontrols") {
            options.keepCommonControls = true;
        } else if (arg == L"/noparent") {
            options.noParent = true;
        } else if (arg == L"/repeat" && i + 1 < count) {
            options.repeat = std::max(1, _wtoi(args[++i]));
        } else if (arg == L"/probe" && i + 1 < count) {
            options.probe = args[++i];
        } else if (arg == L"/screenshot" && i + 1 < count) {
            options.screenshot = args[++i];
            options.show = true;
        }
    }
    if (args) ::LocalFree(args);
    return options;
}

// Loads the common controls library that `module`'s manifest selects, in the module's
// activation context, and never frees it. Wine 8's common controls 6 keep one GDI object per
// unload; with the library kept, a reload test sees what the module itself keeps.
void KeepCommonControlsOf(HMODULE module) {
    const harness::ManifestContext context(module);
    const harness::ManifestContext::Activation active(context);
    ::LoadLibraryW(L"comctl32.dll");  // kept for the life of the process
}

struct Probe {
    const char* stage;
    harness::ResourceProbe values;
};

// One line a stage (harness::ProbeLine).
void WriteProbes(const std::wstring& path, const std::vector<Probe>& probes) {
    FILE* file = _wfopen(path.c_str(), L"w");
    if (!file) return;
    for (const Probe& probe : probes)
        std::fputs(harness::ProbeLine(probe.stage, probe.values).c_str(), file);
    std::fclose(file);
}

// Unloads the module and loads it again, as a host that loads it only around each use does.
bool ReloadModule() {
    g_host.highContrast.reset();
    ::FreeLibrary(g_host.module);
    g_host.showDlgSetting = nullptr;
    g_host.module = ::LoadLibraryW(L"Setting.dll");
    if (g_host.module) {
        g_host.showDlgSetting = reinterpret_cast<ShowDlgSettingFn>(
            reinterpret_cast<void*>(::GetProcAddress(g_host.module, "ShowDlgSetting")));
    }
    return g_host.showDlgSetting != nullptr;
}

void OpenSettings(HWND window) {
    const bool probing = !g_host.options.probe.empty();
    std::vector<Probe> probes;
    if (probing) probes.push_back({"before", harness::TakeResourceProbe()});
    for (int i = 0; i < g_host.options.repeat; ++i) {
        if (g_host.options.reload && i > 0 && !ReloadModule()) {
            std::fwprintf(stderr, L"SettingHost: cannot load Setting.dll again (error %lu)\n",
                          ::GetLastError());
            ::ExitProcess(3);
        }
        g_host.showDlgSetting(g_host.options.noParent ? nullptr : window);
        // The first opening fills the platform's and GDI+'s caches once for good.
        if (probing && i == 0) probes.push_back({"first", harness::TakeResourceProbe()});
    }
    if (probing) {
        probes.push_back({"last", harness::TakeResourceProbe()});
        WriteProbes(g_host.options.probe, probes);
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            ::CreateWindowW(L"BUTTON", L"Settings...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20,
                            20, 140, 32, hwnd, reinterpret_cast<HMENU>(kSettingsButton), nullptr,
                            nullptr);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kSettingsButton) OpenSettings(hwnd);
            return 0;
        case kOpenNow:
            OpenSettings(hwnd);
            ::DestroyWindow(hwnd);
            return 0;
        case kMoveToDpi: {
            HWND dialog = ::GetLastActivePopup(hwnd);
            const UINT to = static_cast<UINT>(wParam), from = static_cast<UINT>(lParam);
            if (dialog == hwnd || !to || !from) return 0;
            RECT rc{};
            ::GetWindowRect(dialog, &rc);
            rc.right = rc.left + ::MulDiv(rc.right - rc.left, to, from);
            rc.bottom = rc.top + ::MulDiv(rc.bottom - rc.top, to, from);
            ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(to, to),
                           reinterpret_cast<LPARAM>(&rc));
            return 0;
        }
        case kForceHighContrast:
            ForceHighContrast(wParam != 0);
            return 0;
        case WM_ENTERIDLE:
            if (wParam == MSGF_DIALOGBOX && g_host.options.autoClose) {
                ::PostMessageW(reinterpret_cast<HWND>(lParam), WM_CLOSE, 0, 0);
                return 0;
            }
            // The dialog is up, painted and idle: the moment for the screenshot.
            if (wParam == MSGF_DIALOGBOX && !g_host.options.screenshot.empty() &&
                !g_host.screenshotTaken) {
                g_host.screenshotTaken = true;
                HWND dialog = reinterpret_cast<HWND>(lParam);
                const bool saved = harness::SaveWindowAsPng(dialog, g_host.options.screenshot);
                std::fwprintf(stdout, saved ? L"screenshot: %ls\n" : L"screenshot failed: %ls\n",
                              g_host.options.screenshot.c_str());
                std::fflush(stdout);
                ::PostMessageW(dialog, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

// The host's window and its message loop, until the window has gone. GDI+ runs meanwhile, for
// the screenshot, and stops before the module is unloaded.
void RunMainWindow(HINSTANCE instance, int showCommand) {
    const harness::GdiPlusSession gdiplus;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = harness::host::kWindowClass;
    ::RegisterClassW(&windowClass);
    g_host.window = ::CreateWindowW(harness::host::kWindowClass, L"Corvianex Shield",
                                    WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 720, 560,
                                    nullptr, nullptr, instance, nullptr);
    ::ShowWindow(g_host.window, showCommand);
    ::UpdateWindow(g_host.window);
    if (g_host.options.show) ::PostMessageW(g_host.window, kOpenNow, 0, 0);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    g_host.options = ParseOptions();
    g_host.module = ::LoadLibraryW(L"Setting.dll");
    if (g_host.module) {
        // Through void*: the platform declares every export as one function type.
        g_host.showDlgSetting = reinterpret_cast<ShowDlgSettingFn>(
            reinterpret_cast<void*>(::GetProcAddress(g_host.module, "ShowDlgSetting")));
    }
    if (!g_host.showDlgSetting) {
        std::fwprintf(stderr, L"SettingHost: cannot load Setting.dll (error %lu)\n",
                      ::GetLastError());
        return 3;
    }
    if (g_host.options.keepCommonControls) KeepCommonControlsOf(g_host.module);

    RunMainWindow(instance, showCommand);
    g_host.highContrast.reset();  // the module's import table goes with it
    ::FreeLibrary(g_host.module);
    return 0;
}
