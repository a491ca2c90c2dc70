// SettingBench: how fast the settings dialog opens, repaints and saves, measured against the
// platform's own dialog of the same template in the same process, and what an opening costs
// in INI reads, file opens, image decodes and resources.
//
//   SettingBench.exe [--reps N] [--openings N] [--cold N] [--phases] [--dpi N]
//
// --cold N starts N fresh processes for each dialog and times, in each, the first opening
// (module load and first call to painted and idle). --phases prints where the time of a warm
// opening goes. --dpi N checks that the display runs at N dpi (bench.sh --dpi N makes it so).
//
// The module is loaded like a host loads it. Its imports of INI reads, file opens, image
// decodes and engine calls are redirected (import table entries) to counting wrappers, so
// nothing in the module changes for the measurement. The simulated engine and the log use a
// temporary folder of their own.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "EngineRecords.h"
#include "ImportHook.h"

namespace {

// ---------------------------------------------------------------------------------------
// Clock and statistics

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;  // milliseconds
}

struct Stats {
    double median = 0, low = 0, high = 0;  // median, 10th and 90th percentile
};

Stats Summarise(std::vector<double> values) {
    Stats s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    auto at = [&](double q) { return values[static_cast<size_t>(q * (values.size() - 1) + 0.5)]; };
    s.median = at(0.5);
    s.low = at(0.1);
    s.high = at(0.9);
    return s;
}

void PrintRow(const char* label, const Stats& s, const char* unit = "ms") {
    std::printf("  %-44s %9.2f %s   (p10 %.2f, p90 %.2f)\n", label, s.median, unit, s.low, s.high);
}

// ---------------------------------------------------------------------------------------
// Counters behind the module's imports

std::atomic<long> g_iniReads{0};
std::atomic<long> g_fileOpens{0};
std::atomic<long> g_imageDecodes{0};
std::atomic<long long> g_engineMicros{0};

using GetProfileStringFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR, DWORD, LPCWSTR);
using GetProfileIntFn = UINT(WINAPI*)(LPCWSTR, LPCWSTR, INT, LPCWSTR);
using CreateFileFn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                     HANDLE);
using LoadImageFn = int(WINAPI*)(const WCHAR*, void**);

GetProfileStringFn g_realGetProfileString;
GetProfileIntFn g_realGetProfileInt;
CreateFileFn g_realCreateFile;
LoadImageFn g_realLoadImage;
LoadImageFn g_realLoadImageIcm;

DWORD WINAPI CountedGetProfileString(LPCWSTR a, LPCWSTR b, LPCWSTR c, LPWSTR d, DWORD e,
                                     LPCWSTR f) {
    ++g_iniReads;
    return g_realGetProfileString(a, b, c, d, e, f);
}
UINT WINAPI CountedGetProfileInt(LPCWSTR a, LPCWSTR b, INT c, LPCWSTR d) {
    ++g_iniReads;
    return g_realGetProfileInt(a, b, c, d);
}
HANDLE WINAPI CountedCreateFile(LPCWSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e,
                                DWORD f, HANDLE g) {
    ++g_fileOpens;
    return g_realCreateFile(a, b, c, d, e, f, g);
}
int WINAPI CountedLoadImage(const WCHAR* a, void** b) {
    ++g_imageDecodes;
    return g_realLoadImage(a, b);
}
int WINAPI CountedLoadImageIcm(const WCHAR* a, void** b) {
    ++g_imageDecodes;
    return g_realLoadImageIcm(a, b);
}

// Every engine operation the module imports, timed. The wrappers keep each signature.
class EngineClock {
public:
    EngineClock() : start_(Now()) {}
    ~EngineClock() { g_engineMicros += static_cast<long long>((Now() - start_) * 1000.0); }

private:
    double start_;
};

#define TIMED_ENGINE_CALL(name, ordinal, params, args) \
    using name##Fn = DWORD(WINAPI*) params;            \
    name##Fn g_real##name = nullptr;                   \
    DWORD WINAPI Timed##name params {                  \
        EngineClock clock;                             \
        return g_real##name args;                      \
    }                                                  \
    constexpr WORD k##name##Ordinal = ordinal;

TIMED_ENGINE_CALL(GetProtectState, 2, (DWORD * a), (a))
TIMED_ENGINE_CALL(GetSnapshotCount, 3, (DWORD * a), (a))
TIMED_ENGINE_CALL(EnableProtect, 5, (), ())
TIMED_ENGINE_CALL(DisableProtect, 6, (), ())
TIMED_ENGINE_CALL(SetBootRestore, 8, (BOOT_RESTORE_REQUEST * a), (a))
TIMED_ENGINE_CALL(GetSnapshotSetting, 20, (SNAPSHOT_SETTING * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(SetSnapshotSetting, 21, (SNAPSHOT_SETTING * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(GetEventMonitorSetting, 22, (EVENT_MONITOR_SETTING * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(SetEventMonitorSetting, 23, (EVENT_MONITOR_SETTING * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(GetProductInfo, 30, (PRODUCT_INFO * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(GetSpaceUsage, 31, (SPACE_USAGE * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(RegisterTray, 32, (LPCWSTR a, LPCWSTR b, LPCWSTR c), (a, b, c))
TIMED_ENGINE_CALL(UnregisterTray, 33, (LPCWSTR a), (a))
TIMED_ENGINE_CALL(GetCvxPassWord, 36, (char* a), (a))
TIMED_ENGINE_CALL(SetCvxPassWord, 37, (const char* a), (a))
TIMED_ENGINE_CALL(ClearBootRestore, 38, (), ())
TIMED_ENGINE_CALL(SetBootEntry, 25, (BOOT_ENTRY_REQUEST * a), (a))

template <class Fn>
void HookEngine(HMODULE module, const char* dll, WORD ordinal, Fn& real, Fn timed) {
    real = reinterpret_cast<Fn>(
        bench::HookImportByOrdinal(module, dll, ordinal, reinterpret_cast<void*>(timed)));
}

template <class Fn>
void HookByName(HMODULE module, const char* dll, const char* name, Fn& real, Fn counted) {
    real = reinterpret_cast<Fn>(
        bench::HookImportByName(module, dll, name, reinterpret_cast<void*>(counted)));
}

void HookModule(HMODULE module) {
    HookByName(module, "KERNEL32.dll", "GetPrivateProfileStringW", g_realGetProfileString,
               &CountedGetProfileString);
    HookByName(module, "KERNEL32.dll", "GetPrivateProfileIntW", g_realGetProfileInt,
               &CountedGetProfileInt);
    HookByName(module, "KERNEL32.dll", "CreateFileW", g_realCreateFile, &CountedCreateFile);
    HookByName(module, "gdiplus.dll", "GdipLoadImageFromFile", g_realLoadImage, &CountedLoadImage);
    HookByName(module, "gdiplus.dll", "GdipLoadImageFromFileICM", g_realLoadImageIcm,
               &CountedLoadImageIcm);
#define HOOK(name) HookEngine(module, "Pellucid.dll", k##name##Ordinal, g_real##name, &Timed##name)
    HOOK(GetProtectState);
    HOOK(GetSnapshotCount);
    HOOK(EnableProtect);
    HOOK(DisableProtect);
    HOOK(SetBootRestore);
    HOOK(GetSnapshotSetting);
    HOOK(SetSnapshotSetting);
    HOOK(GetEventMonitorSetting);
    HOOK(SetEventMonitorSetting);
    HOOK(GetProductInfo);
    HOOK(GetSpaceUsage);
    HOOK(RegisterTray);
    HOOK(UnregisterTray);
    HOOK(GetCvxPassWord);
    HOOK(SetCvxPassWord);
    HOOK(ClearBootRestore);
#undef HOOK
    HookEngine(module, "Marrowick.dll", kSetBootEntryOrdinal, g_realSetBootEntry,
               &TimedSetBootEntry);
}

// ---------------------------------------------------------------------------------------
// Phases of an opening, seen from outside the dialog: a hook on the thread notes when the
// dialog's WM_INITDIALOG returns, when its background is first erased and when the last
// message of painting returns (a paint, an erase, a control asking for its colours or its
// parent's background, an owner-drawn button): the sent messages every paint makes.

struct Phases {
    double start = 0, initialised = 0, firstErase = 0, lastPaint = 0;
};
Phases g_phases;

LRESULT CALLBACK NotePhase(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message) {
        const bool dialog = (::GetWindowLongPtrW(message->hwnd, GWL_STYLE) & WS_CHILD) == 0;
        if (message->message == WM_INITDIALOG) g_phases.initialised = Now();
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

// ---------------------------------------------------------------------------------------
// The host window: WM_ENTERIDLE from a modal dialog marks "open, painted and idle"

std::function<void(HWND)> g_onIdle;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_onIdle) {
        auto handler = std::move(g_onIdle);  // once per opening
        g_onIdle = nullptr;
        handler(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND CreateHostWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SettingBenchHost";
    ::RegisterClassW(&windowClass);
    HWND host = ::CreateWindowW(L"SettingBenchHost", L"Bench host", WS_OVERLAPPEDWINDOW, 0, 0, 800,
                                640, nullptr, nullptr, windowClass.hInstance, nullptr);
    ::ShowWindow(host, SW_SHOW);
    ::UpdateWindow(host);
    return host;
}

double TimeRepaint(HWND dialog) {
    const double start = Now();
    ::RedrawWindow(dialog, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return Now() - start;
}

INT_PTR CALLBACK BaselineProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

// ---------------------------------------------------------------------------------------
// Resource probes (see docs/PERFORMANCE.md). On Wine the system's own counters stay at 0, but
// freed slots are reused, most recently freed first: so a thousand new objects are made and
// the highest slot and handle among them taken. It rises by one for every object the process
// keeps.

struct Probe {
    unsigned gdiSlot = 0;
    uintptr_t eventHandle = 0;
    size_t workingSetKiB = 0;
    size_t committedKiB = 0;  // committed private memory, heaps included
};

// Under Wine PrivateUsage stays 0; walking the address space gives the same figure.
size_t CommittedPrivateKiB() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* address = nullptr;
         ::VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    }
    return total / 1024;
}

Probe TakeProbe() {
    constexpr int kObjects = 1000;
    Probe p;
    std::vector<HBRUSH> brushes;
    std::vector<HANDLE> events;
    for (int i = 0; i < kObjects; ++i) {
        brushes.push_back(::CreateSolidBrush(RGB(1, 2, 3)));
        events.push_back(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    }
    for (HBRUSH brush : brushes) {
        p.gdiSlot =
            std::max(p.gdiSlot, static_cast<unsigned>(reinterpret_cast<uintptr_t>(brush) & 0xFFFF));
        ::DeleteObject(brush);
    }
    for (HANDLE event : events) {
        p.eventHandle = std::max(p.eventHandle, reinterpret_cast<uintptr_t>(event));
        ::CloseHandle(event);
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    p.workingSetKiB = counters.WorkingSetSize / 1024;
    p.committedKiB = CommittedPrivateKiB();
    return p;
}

std::wstring PrepareFolder() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"SettingBench-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::SetEnvironmentVariableW(L"PELLUCIDSIM_FOLDER", folder.c_str());
    ::SetEnvironmentVariableW(L"TMP", folder.c_str());
    ::SetEnvironmentVariableW(L"TEMP", folder.c_str());
    return folder;
}

// The module's manifest (resource 2) selects common controls 6; the baseline dialog runs in
// the same activation context, so that both dialogs are made of the same controls.
class ModuleControls {
public:
    explicit ModuleControls(HMODULE module) {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(module, path, MAX_PATH);
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path;
        request.lpResourceName = MAKEINTRESOURCEW(2);
        context_ = ::CreateActCtxW(&request);
    }
    ~ModuleControls() {
        if (context_ != INVALID_HANDLE_VALUE) ::ReleaseActCtx(context_);
    }
    ModuleControls(const ModuleControls&) = delete;
    ModuleControls& operator=(const ModuleControls&) = delete;
    bool Activate(ULONG_PTR& cookie) const {
        return context_ != INVALID_HANDLE_VALUE && ::ActivateActCtx(context_, &cookie);
    }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

int Arg(int argc, wchar_t** argv, const wchar_t* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (wcscmp(argv[i], name) == 0) return std::max(1, _wtoi(argv[i + 1]));
    }
    return fallback;
}

bool Flag(int argc, wchar_t** argv, const wchar_t* name) {
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], name) == 0) return true;
    }
    return false;
}

int DisplayDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// ---------------------------------------------------------------------------------------
// Cold openings: this program started again with "--first module|baseline FILE" opens one
// dialog as the first thing it does with the module and writes the time from just before
// loading the module to the dialog painted and idle into FILE.

int FirstOpening(const std::wstring& which, const std::wstring& file) {
    HWND host = CreateHostWindow();
    HHOOK phaseHook =
        ::SetWindowsHookExW(WH_CALLWNDPROCRET, NotePhase, nullptr, ::GetCurrentThreadId());
    const double start = Now();
    g_phases = Phases{start};
    HMODULE module = ::LoadLibraryW(L"Setting.dll");
    const double loaded = Now() - start;
    if (!module) return 1;
    double opened = 0;
    g_onIdle = [&](HWND dialog) {
        opened = Now() - start;
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    };
    if (which == L"module") {
        using ShowFn = void(WINAPI*)(HWND);
        auto show = reinterpret_cast<ShowFn>(
            reinterpret_cast<void*>(::GetProcAddress(module, "ShowDlgSetting")));
        if (!show) return 1;
        show(host);
    } else {
        const ModuleControls controls(module);
        ULONG_PTR cookie = 0;
        const bool activated = controls.Activate(cookie);
        g_onIdle = [&](HWND dialog) {
            opened = Now() - start;
            ::EndDialog(dialog, IDCANCEL);
        };
        ::DialogBoxParamW(module, MAKEINTRESOURCEW(102), host, BaselineProc, 0);
        if (activated) ::DeactivateActCtx(0, cookie);
    }
    if (phaseHook) ::UnhookWindowsHookEx(phaseHook);
    FILE* out = _wfopen(file.c_str(), L"w");
    if (!out) return 1;
    std::fprintf(out, "%.3f %.3f %.3f %.3f %.3f\n", opened, loaded, g_phases.initialised - start,
                 g_phases.firstErase - start, g_phases.lastPaint - start);
    std::fclose(out);
    return 0;
}

// The first opening of `which` in `count` fresh processes, in milliseconds: the whole opening,
// then its phases (module loaded, initialised, first erase, last paint).
struct Cold {
    std::vector<double> opened, loaded, initialised, firstErase, lastPaint;
};

Cold ColdOpenings(const std::wstring& which, int count, const std::wstring& folder) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    Cold times;
    for (int i = 0; i < count; ++i) {
        const std::wstring file = folder + L"\\cold-" + std::to_wstring(i) + L".txt";
        std::wstring command =
            L"\"" + std::wstring(self) + L"\" --first " + which + L" \"" + file + L"\"";
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process)) {
            continue;
        }
        ::WaitForSingleObject(process.hProcess, 60000);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        if (FILE* in = _wfopen(file.c_str(), L"r")) {
            double v[5] = {};
            if (std::fscanf(in, "%lf %lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3], &v[4]) == 5) {
                times.opened.push_back(v[0]);
                times.loaded.push_back(v[1]);
                times.initialised.push_back(v[2]);
                times.firstErase.push_back(v[3]);
                times.lastPaint.push_back(v[4]);
            }
            std::fclose(in);
        }
        ::DeleteFileW(file.c_str());
    }
    return times;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int reps = Arg(argc, argv, L"--reps", 30);
    const int openings = Arg(argc, argv, L"--openings", 1000);
    const int cold = Arg(argc, argv, L"--cold", 10);
    const bool phases = Flag(argc, argv, L"--phases");
    const int dpi = Arg(argc, argv, L"--dpi", DisplayDpi());
    if (argc == 4 && wcscmp(argv[1], L"--first") == 0) return FirstOpening(argv[2], argv[3]);
    if (dpi != DisplayDpi()) {
        std::printf("the display runs at %d dpi, not %d (scripts/bench.sh --dpi %d)\n",
                    DisplayDpi(), dpi, dpi);
        return 2;
    }
    const std::wstring folder = PrepareFolder();

    HMODULE module = ::LoadLibraryW(L"Setting.dll");
    using ShowFn = void(WINAPI*)(HWND);
    auto show = reinterpret_cast<ShowFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "ShowDlgSetting")));
    if (!show) {
        std::printf("cannot load Setting.dll (error %lu)\n", ::GetLastError());
        return 1;
    }
    HookModule(module);
    const ModuleControls controls(module);
    HWND host = CreateHostWindow();

    // One opening of the module's dialog; `atIdle` runs when it is up and idle and must end
    // it. Returns the time from the call to that moment.
    auto openModule = [&](const std::function<void(HWND)>& atIdle) {
        double opened = 0;
        const double start = Now();
        g_onIdle = [&](HWND dialog) {
            opened = Now() - start;
            atIdle(dialog);
        };
        show(host);
        return opened;
    };
    auto openBaseline = [&](const std::function<void(HWND)>& atIdle) {
        double opened = 0;
        const double start = Now();
        g_onIdle = [&](HWND dialog) {
            opened = Now() - start;
            atIdle(dialog);
        };
        ULONG_PTR cookie = 0;
        const bool activated = controls.Activate(cookie);
        ::DialogBoxParamW(module, MAKEINTRESOURCEW(102), host, BaselineProc, 0);
        if (activated) ::DeactivateActCtx(0, cookie);
        return opened;
    };

    std::printf("SettingBench: %d repetitions after one warm-up each, %d dpi\n\n", reps, dpi);

    // Warm-up: the first opening in a process pays for loading fonts, GDI+ and the codecs.
    double firstOpening = openModule([](HWND d) { ::PostMessageW(d, WM_CLOSE, 0, 0); });
    openBaseline([](HWND d) { ::EndDialog(d, IDCANCEL); });

    std::vector<double> openSkinned, openSkinnedNet, openPlain, paintSkinned, paintPlain, saveNet,
        saveGross;
    // Phases, relative to the call: end of initialisation, first erase, last paint.
    std::vector<double> phaseInit[2], phaseErase[2], phasePaint[2];
    HHOOK phaseHook =
        phases ? ::SetWindowsHookExW(WH_CALLWNDPROCRET, NotePhase, nullptr, ::GetCurrentThreadId())
               : nullptr;
    auto notePhases = [&](int which) {
        if (!phaseHook) return;
        phaseInit[which].push_back(g_phases.initialised - g_phases.start);
        phaseErase[which].push_back(g_phases.firstErase - g_phases.start);
        phasePaint[which].push_back(g_phases.lastPaint - g_phases.start);
    };
    long iniPerOpening = 0, filesPerOpening = 0, imagesPerOpening = 0, imagesPerRepaint = 0;
    for (int i = 0; i < reps; ++i) {
        const long ini0 = g_iniReads, files0 = g_fileOpens, images0 = g_imageDecodes;
        long imagesBeforeRepaint = 0;
        double repaint = 0;
        const long long engineAtOpening = g_engineMicros;
        long long engineOpening = 0;
        g_phases = Phases{Now()};
        openSkinned.push_back(openModule([&](HWND dialog) {
            notePhases(0);
            engineOpening = g_engineMicros - engineAtOpening;
            imagesBeforeRepaint = g_imageDecodes;
            repaint = TimeRepaint(dialog);
            imagesPerRepaint = g_imageDecodes - imagesBeforeRepaint;
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
        }));
        openSkinnedNet.push_back(openSkinned.back() - static_cast<double>(engineOpening) / 1000.0);
        paintSkinned.push_back(repaint);
        iniPerOpening = g_iniReads - ini0;
        filesPerOpening = g_fileOpens - files0;
        imagesPerOpening = imagesBeforeRepaint - images0;

        g_phases = Phases{Now()};
        openPlain.push_back(openBaseline([&](HWND dialog) {
            notePhases(1);
            repaint = TimeRepaint(dialog);
            ::EndDialog(dialog, IDCANCEL);
        }));
        paintPlain.push_back(repaint);

        // Save round trip: OK pressed at idle, until the dialog has closed.
        double clicked = 0;
        long long engineBefore = 0;
        openModule([&](HWND dialog) {
            engineBefore = g_engineMicros;
            clicked = Now();
            ::PostMessageW(::GetDlgItem(dialog, 1013), BM_CLICK, 0, 0);
        });
        const double gross = Now() - clicked;
        const double engine = static_cast<double>(g_engineMicros - engineBefore) / 1000.0;
        saveGross.push_back(gross);
        saveNet.push_back(gross - engine);
    }

    if (phaseHook) ::UnhookWindowsHookEx(phaseHook);
    const Stats skinned = Summarise(openSkinned), plain = Summarise(openPlain);
    const Stats repaintSkinned = Summarise(paintSkinned), repaintPlain = Summarise(paintPlain);
    std::printf("Open (call to painted and idle)\n");
    std::printf("  %-44s %9.2f ms\n", "first opening in the process", firstOpening);
    PrintRow("settings dialog", skinned);
    PrintRow("settings dialog minus the engine's own time", Summarise(openSkinnedNet));
    PrintRow("baseline: template 102, platform dialog", plain);
    std::printf("  %-44s %9.2f x   (target <= 1.20)\n", "ratio", skinned.median / plain.median);
    std::printf("  %-44s %9.2f x\n\n", "ratio without the engine's time",
                Summarise(openSkinnedNet).median / plain.median);
    if (phaseHook) {
        std::printf("Phases of a warm opening, from the call (settings dialog / baseline)\n");
        const char* names[] = {"initialised (WM_INITDIALOG returned)", "first erase of the dialog",
                               "last paint of the dialog or a control"};
        std::vector<double>* rows[] = {phaseInit, phaseErase, phasePaint};
        for (int i = 0; i < 3; ++i) {
            std::printf("  %-44s %9.2f ms %9.2f ms\n", names[i], Summarise(rows[i][0]).median,
                        Summarise(rows[i][1]).median);
        }
        std::printf("\n");
    }
    if (cold > 0) {
        const Cold module = ColdOpenings(L"module", cold, folder);
        const Cold baseline = ColdOpenings(L"baseline", cold, folder);
        const Stats coldSkinned = Summarise(module.opened);
        const Stats coldPlain = Summarise(baseline.opened);
        std::printf("First opening in a fresh process (module load to painted and idle), %d each\n",
                    cold);
        PrintRow("settings dialog", coldSkinned);
        PrintRow("baseline", coldPlain);
        std::printf("  %-44s %9.2f x   (target <= 1.30)\n", "ratio",
                    coldSkinned.median / coldPlain.median);
        if (phases) {
            std::printf("  phases, from before loading the module (settings dialog / baseline)\n");
            const std::pair<const char*, std::vector<double> Cold::*> rows[] = {
                {"module loaded", &Cold::loaded},
                {"initialised (WM_INITDIALOG returned)", &Cold::initialised},
                {"first erase of the dialog", &Cold::firstErase},
                {"last paint of the dialog or a control", &Cold::lastPaint}};
            for (const auto& [name, member] : rows) {
                std::printf("  %-44s %9.2f ms %9.2f ms\n", name, Summarise(module.*member).median,
                            Summarise(baseline.*member).median);
            }
        }
        std::printf("\n");
    }
    std::printf("Full repaint (invalidate all, update)\n");
    PrintRow("settings dialog", repaintSkinned);
    PrintRow("baseline", repaintPlain);
    std::printf("  %-44s %9.2f x   (target <= 0.80)\n\n", "ratio",
                repaintSkinned.median / repaintPlain.median);
    std::printf("Save (OK to closed)\n");
    PrintRow("round trip", Summarise(saveGross));
    PrintRow("round trip minus the engine's own time", Summarise(saveNet));
    std::printf("\nWork per opening\n");
    std::printf("  %-44s %9ld\n", "INI reads", iniPerOpening);
    std::printf("  %-44s %9ld\n", "file opens by the module", filesPerOpening);
    std::printf("  %-44s %9ld\n", "images decoded per opening", imagesPerOpening);
    std::printf("  %-44s %9ld\n", "images decoded per full repaint", imagesPerRepaint);

    // Resources after 10 and after `openings` openings (closed at once when idle), for the
    // module's dialog and, as the platform's own share, for the baseline.
    auto openAndClose = [&](int count) {
        for (int i = 0; i < count; ++i)
            openModule([](HWND d) { ::PostMessageW(d, WM_CLOSE, 0, 0); });
    };
    auto openAndCloseBaseline = [&](int count) {
        for (int i = 0; i < count; ++i)
            openBaseline([](HWND d) { ::EndDialog(d, IDCANCEL); });
    };
    std::printf("\nResources (probe objects; see docs/PERFORMANCE.md), N = %d openings\n",
                openings);
    std::printf("  %-34s %12s %12s %10s\n", "", "after 10", "after N", "growth");
    auto measure = [&](const char* label, const std::function<void(int)>& open) {
        open(10);
        const Probe after10 = TakeProbe();
        open(openings - 10);
        const Probe afterMany = TakeProbe();
        auto row = [&](const char* what, long long a, long long b, const char* unit) {
            std::printf("  %-34s %10lld%s %10lld%s %8lld%s\n",
                        (std::string(label) + ": " + what).c_str(), a, unit, b, unit, b - a, unit);
        };
        row("GDI slot", after10.gdiSlot, afterMany.gdiSlot, "  ");
        row("kernel handle", static_cast<long long>(after10.eventHandle),
            static_cast<long long>(afterMany.eventHandle), "  ");
        row("working set", static_cast<long long>(after10.workingSetKiB),
            static_cast<long long>(afterMany.workingSetKiB), " K");
        row("committed memory", static_cast<long long>(after10.committedKiB),
            static_cast<long long>(afterMany.committedKiB), " K");
    };
    measure("settings dialog", openAndClose);
    measure("baseline", openAndCloseBaseline);

    ::DestroyWindow(host);
    ::FreeLibrary(module);
    return 0;
}
