// Stand-in of the product's re-initialisation tool. Started with " -RESIZE" it shows a
// small progress window for a configured moment, applies the configured new space usage
// to the simulated engine, leaves the configured InitNvOk flag in the registry, journals
// the call and exits with 0 (or the registry's error code). Any other command line is
// journaled and answered with exit code 2.
#include <windows.h>

#include <string>
#include <system_error>

#include "SimJournal.h"
#include "SimState.h"

namespace {

constexpr int kExitNotResize = 2;
constexpr wchar_t kWindowClass[] = L"CorvianexTessinitProgress";
constexpr wchar_t kMessage[] = L"Resizing the protected area\u2026";
constexpr UINT_PTR kCloseTimer = 1;
constexpr int kWidth = 360;
constexpr int kHeight = 110;

void PaintMessage(HWND window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, kMessage, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, previous);
    EndPaint(window, &paint);
}

LRESULT CALLBACK ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            PaintMessage(window);
            return 0;
        case WM_TIMER:
            KillTimer(window, kCloseTimer);
            DestroyWindow(window);
            return 0;
        case WM_CLOSE:
            return 0;  // the work decides when the window goes, as in a real progress box
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Registers the progress window's class for the lifetime of the object.
class ProgressClass {
public:
    explicit ProgressClass(HINSTANCE instance) : m_instance(instance) {
        WNDCLASSEXW windowClass{sizeof windowClass};
        windowClass.lpfnWndProc = ProgressProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_WAIT);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kWindowClass;
        m_registered = RegisterClassExW(&windowClass) != 0;
    }
    ~ProgressClass() {
        if (m_registered) {
            UnregisterClassW(kWindowClass, m_instance);
        }
    }
    ProgressClass(const ProgressClass&) = delete;
    ProgressClass& operator=(const ProgressClass&) = delete;

    bool Registered() const { return m_registered; }

private:
    HINSTANCE m_instance;
    bool m_registered = false;
};

HWND CreateProgressWindow(HINSTANCE instance) {
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    return CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"Tessinit", WS_POPUP | WS_CAPTION, x, y,
                           kWidth, kHeight, nullptr, nullptr, instance, nullptr);
}

// Shows the window until its timer closes it. Without a window the moment still passes,
// so that the caller's wait lasts as long either way.
void ShowProgress(HINSTANCE instance, int show, DWORD milliseconds) {
    const ProgressClass progressClass(instance);
    const HWND window = progressClass.Registered() ? CreateProgressWindow(instance) : nullptr;
    if (window == nullptr || SetTimer(window, kCloseTimer, milliseconds, nullptr) == 0) {
        if (window != nullptr) {
            DestroyWindow(window);
        }
        Sleep(milliseconds);
        return;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The settings are read again here, so a test may change them while the window shows.
DWORD FinishResize(const std::wstring& stateFolder, const std::wstring& commandLine,
                   const std::wstring& folder) {
    sim::StateTransaction transaction(stateFolder);
    sim::EngineState& state = transaction.State();
    const sim::TessinitSettings& settings = state.tessinit;
    sim::CallLine line("Tessinit");
    line.Text("commandLine", commandLine.c_str()).Text("folder", folder.c_str());
    if (settings.newTotal) {
        state.spaceUsage.dwTotal = *settings.newTotal;
        line.Number("total", *settings.newTotal);
    }
    if (settings.newFree) {
        state.spaceUsage.dwFree = *settings.newFree;
        line.Number("free", *settings.newFree);
    }
    const DWORD result = sim::WriteInitNvOk(settings.initNvOk);
    line.Text("initNvOk", settings.initNvOk.c_str());
    transaction.Commit();
    transaction.Journal(line.Finish(result));
    return result;
}

int Run(HINSTANCE instance, int show) {
    const std::wstring commandLine = GetCommandLineW();
    const std::wstring folder = sim::CurrentFolder();
    const std::wstring stateFolder = sim::HostFolder();
    // The switch is matched exactly as the settings module passes it.
    if (commandLine.find(L"-RESIZE") == std::wstring::npos) {
        sim::AppendJournal(stateFolder, sim::CallLine("Tessinit")
                                            .Text("commandLine", commandLine.c_str())
                                            .Text("folder", folder.c_str())
                                            .Finish(kExitNotResize));
        return kExitNotResize;
    }
    ShowProgress(instance, show, sim::ReadState(stateFolder).tessinit.delayMs);
    return static_cast<int>(FinishResize(stateFolder, commandLine, folder));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    try {
        return Run(instance, show);
    } catch (const std::system_error& error) {
        return error.code().value();
    } catch (...) {
        return ERROR_INTERNAL_ERROR;
    }
}
