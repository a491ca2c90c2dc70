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
//   SettingHost.exe ... /probe FILE     write the leak probe (see TakeProbe) to FILE before the
//                                       first opening, after it and after the last
//   SettingHost.exe ... /reload         with /repeat: unload the module and load it again
//                                       between openings (lifetime checks)
//   SettingHost.exe ... /keepcommoncontrols  keep the common controls 6 library that the
//                                       module's manifest selects loaded across /reload, so
//                                       that only the module itself is unloaded
//
// The message WM_APP + 2 posted to the main window (wParam the new dpi, lParam the dialog's
// present dpi) tells the open dialog what the platform tells a per-monitor aware window moved
// to a monitor of another dpi: WM_DPICHANGED with its rectangle scaled. Tests use it where the
// platform has a single dpi.
//
// Exit code: 0, or 3 when Setting.dll (or a library it needs) cannot be loaded.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "WindowPng.h"

namespace {

using ShowDlgSettingFn = void(WINAPI*)(HWND);

constexpr int kSettingsButton = 100;
constexpr UINT kOpenNow = WM_APP + 1;
constexpr UINT kMoveToDpi = WM_APP + 2;

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
};

Host g_host;

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

// Loads the common controls library that `module`'s manifest (resource 2) selects, in the
// module's activation context, and never frees it. Wine 8's common controls 6 keep one GDI
// object per unload; with the library kept, a reload test sees what the module itself keeps.
void KeepCommonControlsOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    if (!::GetModuleFileNameW(module, path, MAX_PATH)) return;
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.lpResourceName = MAKEINTRESOURCEW(2);
    HANDLE context = ::CreateActCtxW(&request);
    if (context == INVALID_HANDLE_VALUE) return;
    ULONG_PTR cookie = 0;
    if (::ActivateActCtx(context, &cookie)) {
        ::LoadLibraryW(L"comctl32.dll");  // kept for the life of the process
        ::DeactivateActCtx(0, cookie);
    }
    ::ReleaseActCtx(context);
}

// Leak probe. Under Wine the usual counters (GetGuiResources, handle counts) stay 0, but GDI
// slots and kernel handle values are reused once freed. A burst of fresh objects fills the
// free ones first, so its highest slot or value lies as far above the objects still alive as
// the burst is long: it grows by one slot (or one handle step) for every object the process
// keeps. A single probe object would only show the last freed slot.
constexpr int kProbeBurst = 1000;

struct Probe {
    const wchar_t* stage;
    unsigned gdiSlot;   // highest slot (low 16 bits of the handle) of a burst of brushes
    uintptr_t handle;   // highest value of a burst of event handles
    SIZE_T workingSet;  // bytes
    SIZE_T committed;   // bytes of committed private memory (heaps included, touched or not)
};

// Under Wine PrivateUsage stays 0; walking the address space gives the same figure.
SIZE_T CommittedPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* address = nullptr;
         ::VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    }
    return total;
}

Probe TakeProbe(const wchar_t* stage) {
    Probe probe{stage, 0, 0, 0, 0};
    std::vector<HBRUSH> brushes;
    std::vector<HANDLE> events;
    for (int i = 0; i < kProbeBurst; ++i) {
        if (HBRUSH brush = ::CreateSolidBrush(RGB(i & 0xFF, 0, 0))) {
            brushes.push_back(brush);
            probe.gdiSlot = std::max<unsigned>(probe.gdiSlot, LOWORD(brush));
        }
        if (HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
            events.push_back(event);
            probe.handle = std::max(probe.handle, reinterpret_cast<uintptr_t>(event));
        }
    }
    for (HBRUSH brush : brushes)
        ::DeleteObject(brush);
    for (HANDLE event : events)
        ::CloseHandle(event);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
        probe.workingSet = counters.WorkingSetSize;
    probe.committed = CommittedPrivateBytes();
    return probe;
}

// One line a stage: "<stage> gdi=<slot> handle=<value> workingset=<bytes> committed=<bytes>".
void WriteProbes(const std::wstring& path, const std::vector<Probe>& probes) {
    FILE* file = _wfopen(path.c_str(), L"w");
    if (!file) return;
    for (const Probe& p : probes) {
        std::fwprintf(file, L"%ls gdi=%u handle=%llu workingset=%llu committed=%llu\n", p.stage,
                      p.gdiSlot, static_cast<unsigned long long>(p.handle),
                      static_cast<unsigned long long>(p.workingSet),
                      static_cast<unsigned long long>(p.committed));
    }
    std::fclose(file);
}

// Unloads the module and loads it again, as a host that loads it only around each use does.
bool ReloadModule() {
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
    if (probing) probes.push_back(TakeProbe(L"before"));
    for (int i = 0; i < g_host.options.repeat; ++i) {
        if (g_host.options.reload && i > 0 && !ReloadModule()) {
            std::fwprintf(stderr, L"SettingHost: cannot load Setting.dll again (error %lu)\n",
                          ::GetLastError());
            ::ExitProcess(3);
        }
        g_host.showDlgSetting(g_host.options.noParent ? nullptr : window);
        // The first opening fills the platform's and GDI+'s caches once for good.
        if (probing && i == 0) probes.push_back(TakeProbe(L"first"));
    }
    if (probing) {
        probes.push_back(TakeProbe(L"last"));
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
                const bool saved = SaveWindowAsPng(dialog, g_host.options.screenshot);
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

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"SettingHostWindow";
    ::RegisterClassW(&windowClass);
    g_host.window = ::CreateWindowW(L"SettingHostWindow", L"Corvianex Shield", WS_OVERLAPPEDWINDOW,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 720, 560, nullptr, nullptr,
                                    instance, nullptr);
    ::ShowWindow(g_host.window, showCommand);
    ::UpdateWindow(g_host.window);
    if (g_host.options.show) ::PostMessageW(g_host.window, kOpenNow, 0, 0);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    ::FreeLibrary(g_host.module);
    return 0;
}
