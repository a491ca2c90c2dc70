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
//
// Exit code: 0, or 3 when Setting.dll (or a library it needs) cannot be loaded.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using ShowDlgSettingFn = void(WINAPI*)(HWND);

constexpr int kSettingsButton = 100;
constexpr UINT kOpenNow = WM_APP + 1;

struct Options {
    bool show = false;
    bool noParent = false;
    bool autoClose = false;
    int repeat = 1;
    std::wstring screenshot;
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
        } else if (arg == L"/noparent") {
            options.noParent = true;
        } else if (arg == L"/repeat" && i + 1 < count) {
            options.repeat = std::max(1, _wtoi(args[++i]));
        } else if (arg == L"/screenshot" && i + 1 < count) {
            options.screenshot = args[++i];
            options.show = true;
        }
    }
    if (args)
        ::LocalFree(args);
    return options;
}

bool EncoderClsid(const wchar_t* mime, CLSID& clsid) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, mime) == 0) {
            clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

// Copies the dialog's pixels from the screen and writes them as a PNG file.
bool SaveScreenshot(HWND dialog, const std::wstring& path) {
    RECT rc{};
    ::GetWindowRect(dialog, &rc);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    ::SelectObject(memory, old);
    bool saved = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        CLSID png{};
        saved = EncoderClsid(L"image/png", png) &&
                image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return saved;
}

void OpenSettings(HWND window) {
    for (int i = 0; i < g_host.options.repeat; ++i) {
        g_host.showDlgSetting(g_host.options.noParent ? nullptr : window);
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
            if (LOWORD(wParam) == kSettingsButton)
                OpenSettings(hwnd);
            return 0;
        case kOpenNow:
            OpenSettings(hwnd);
            ::DestroyWindow(hwnd);
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
                const bool saved = SaveScreenshot(dialog, g_host.options.screenshot);
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
    if (g_host.options.show)
        ::PostMessageW(g_host.window, kOpenNow, 0, 0);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    ::FreeLibrary(g_host.module);
    return 0;
}
