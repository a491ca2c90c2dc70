// settingpreview: shows a configuration the way users will see it. It lays out a product
// folder of its own (the demo host, Setting.dll and the stand-ins from its own folder, the
// given Setting.ini, CreateDisk.ini and skin), runs the real module through ShowDlgSetting in
// the demo host, opens each of its windows as a user would, and saves each as a PNG file:
//
//   settings.png          the settings dialog
//   password.png          the password dialog (the password check box ticked)
//   message-question.png  the message dialog asking before a resize (Yes and No)
//   message-error.png     the message dialog reporting a refused switch (OK)
//   waiting-on.png        the waiting box while protection is switched on
//   waiting-save.png      the waiting box while the settings are saved
//
//   settingpreview.exe CONFIG_FOLDER OUTPUT_FOLDER [--state PellucidSim.ini] [--keep] [--dpi N]
//
// --state gives the simulated engine's state (standins/README.md); without it the engine
// starts from its defaults. --keep leaves the product folder (OUTPUT_FOLDER\product) in place.
// --dpi N draws the windows at N dpi (96 is 100 %, 144 is 150 %): the windows take the dpi of
// the display they are on, so the display must run at N dpi (under Wine the prefix's LogPixels,
// which scripts/preview.sh --dpi N sets up); otherwise nothing is drawn and the tool says so.
// Exit status: 0 every picture saved, 1 some could not be taken, 2 wrong arguments or the
// product folder could not be made.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "SimState.h"
#include "WindowPng.h"

namespace {

// Control ids of the module's dialogs (res/resource.h).
constexpr int kProtectBox = 1038;
constexpr int kPasswordBox = 1045;
constexpr int kResizeLink = 1039;
constexpr int kOkButton = 1013;
constexpr int kPassNewEdit = 1025;
constexpr int kMessageYes = 1033;
constexpr int kMessageNo = 1019;
constexpr int kMessageOk = 1024;
constexpr int kWaitText = 1023;

constexpr DWORD kWaitMs = 20000;        // upper bound of every wait for a window
constexpr DWORD kEngineDelayMs = 3000;  // how long the slowed engine call keeps a box up

const wchar_t* const kProgramFiles[] = {L"SettingHost.exe",  L"Setting.dll",  L"Pellucid.dll",
                                        L"Marrowick.dll",    L"Tessvane.dll", L"Tessinit.exe",
                                        L"CorvianexTray.exe"};

int g_failures = 0;

void Report(const wchar_t* format, const std::wstring& text) {
    std::fwprintf(stdout, format, text.c_str());
    std::fwprintf(stdout, L"\n");
    std::fflush(stdout);
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2] = {};
    ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return full;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Copies a folder tree; false when something could not be copied.
bool CopyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else
            ok = ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) &&
                 ok;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return ok;
}

void DeleteTree(const std::wstring& dir) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(dir.c_str());
}

template <class Condition>
bool WaitUntil(Condition condition, DWORD ms = kWaitMs) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() > end) return false;
        ::Sleep(20);
    }
}

// ---- Pictures -----------------------------------------------------------------------------

// ---- The host and its windows -------------------------------------------------------------

class Host {
public:
    Host(const std::wstring& product) {
        // The stand-ins keep their state beside the host; its log lands in the product folder.
        ::SetEnvironmentVariableW(L"PELLUCIDSIM_FOLDER", product.c_str());
        const std::wstring temp = product + L"\\temp";
        ::CreateDirectoryW(temp.c_str(), nullptr);
        ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
        ::SetEnvironmentVariableW(L"TMP", temp.c_str());
        std::wstring line = L"\"" + product + L"\\SettingHost.exe\" /show";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             product.c_str(), &startup, &info)) {
            ::CloseHandle(info.hThread);
            process_ = info.hProcess;
            id_ = info.dwProcessId;
        }
    }
    ~Host() {
        if (!process_) return;
        if (::WaitForSingleObject(process_, 5000) == WAIT_TIMEOUT) ::TerminateProcess(process_, 1);
        ::CloseHandle(process_);
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    bool Started() const { return process_ != nullptr; }

    // The first visible top-level window of the host that has a visible control `id`.
    HWND Find(int id) const {
        Search search{id_, id, nullptr};
        ::EnumWindows(&Host::MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND WaitFor(int id) const {
        HWND found = nullptr;
        WaitUntil([&] { return (found = Find(id)) != nullptr; });
        Settle();
        return found;
    }
    // Everything the host had queued is handled and painted.
    void Settle() const {
        ::WaitForInputIdle(process_, 5000);
        ::Sleep(300);
    }
    bool WaitForExit() const { return ::WaitForSingleObject(process_, kWaitMs) == WAIT_OBJECT_0; }

private:
    struct Search {
        DWORD process;
        int id;
        HWND found;
    };
    static BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        if (process != s->process || !::IsWindowVisible(window)) return TRUE;
        HWND control = ::GetDlgItem(window, s->id);
        if (control && ::IsWindowVisible(control)) {
            s->found = window;
            return FALSE;
        }
        return TRUE;
    }

    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// A click as the platform reports it to the dialog.
void Click(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
}
void ClickCheckBox(HWND dialog, int id) {
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void Capture(const Host& host, int id, const std::wstring& output, const wchar_t* name) {
    HWND window = host.WaitFor(id);
    const std::wstring path = output + L"\\" + name;
    if (window && SaveWindowAsPng(window, path)) {
        Report(L"saved %ls", path);
    } else {
        Report(L"could not take %ls", path);
        ++g_failures;
    }
}

// ---- The three runs -------------------------------------------------------------------------

void SetUpState(const std::wstring& product, const std::wstring& stateFile,
                const std::function<void(sim::EngineState&)>& change) {
    const std::wstring state = product + L"\\PellucidSim.ini";
    if (stateFile.empty())
        ::DeleteFileW(state.c_str());
    else
        ::CopyFileW(stateFile.c_str(), state.c_str(), FALSE);
    ::DeleteFileW((product + L"\\PellucidSim.journal").c_str());
    sim::UpdateState(product, change);
}

// The settings dialog, then the password dialog and the resize question over it.
void SettingsPasswordAndQuestion(const std::wstring& product, const std::wstring& output) {
    Host host(product);
    if (!host.Started()) return;
    HWND settings = host.WaitFor(kProtectBox);
    Capture(host, kProtectBox, output, L"settings.png");
    if (!settings) return;

    if (::SendMessageW(::GetDlgItem(settings, kPasswordBox), BM_GETCHECK, 0, 0) == BST_CHECKED) {
        Report(L"%ls", std::wstring(L"skipped password.png: the engine state holds a password"));
    } else {
        ClickCheckBox(settings, kPasswordBox);
        Capture(host, kPassNewEdit, output, L"password.png");
        if (HWND password = host.Find(kPassNewEdit))
            ::PostMessageW(password, WM_COMMAND, IDCANCEL, 0);
        WaitUntil([&] { return host.Find(kPassNewEdit) == nullptr; });
    }

    ::PostMessageW(settings, WM_COMMAND, MAKEWPARAM(kResizeLink, STN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(settings, kResizeLink)));
    Capture(host, kMessageYes, output, L"message-question.png");
    if (HWND question = host.Find(kMessageYes)) Click(question, kMessageNo);
    WaitUntil([&] { return host.Find(kMessageYes) == nullptr; });
    ::PostMessageW(settings, WM_CLOSE, 0, 0);
    host.WaitForExit();
}

// A slow switch-on that the engine then refuses: the waiting box, then the error.
void RefusedSwitch(const std::wstring& product, const std::wstring& output) {
    Host host(product);
    if (!host.Started()) return;
    HWND settings = host.WaitFor(kProtectBox);
    if (!settings) return;
    ClickCheckBox(settings, kProtectBox);
    Capture(host, kWaitText, output, L"waiting-on.png");
    Capture(host, kMessageOk, output, L"message-error.png");
    if (HWND error = host.Find(kMessageOk)) Click(error, kMessageOk);
    WaitUntil([&] { return host.Find(kMessageOk) == nullptr; });
    ::PostMessageW(settings, WM_CLOSE, 0, 0);
    host.WaitForExit();
}

// A slow save: the waiting box; the dialog then closes by itself.
void SlowSave(const std::wstring& product, const std::wstring& output) {
    Host host(product);
    if (!host.Started()) return;
    HWND settings = host.WaitFor(kProtectBox);
    if (!settings) return;
    Click(settings, kOkButton);
    Capture(host, kWaitText, output, L"waiting-save.png");
    host.WaitForExit();
}

bool MakeProduct(const std::wstring& config, const std::wstring& product) {
    DeleteTree(product);
    if (!::CreateDirectoryW(product.c_str(), nullptr)) return false;
    const std::wstring programs = OwnFolder();
    for (const wchar_t* file : kProgramFiles) {
        if (!::CopyFileW((programs + L"\\" + file).c_str(), (product + L"\\" + file).c_str(),
                         FALSE)) {
            Report(L"settingpreview: cannot copy %ls from the program's folder", file);
            return false;
        }
    }
    // A missing file is left missing: the preview then shows what the module does without it.
    for (const wchar_t* file : {L"Setting.ini", L"CreateDisk.ini"})
        ::CopyFileW((config + L"\\" + file).c_str(), (product + L"\\" + file).c_str(), FALSE);
    if (IsFolder(config + L"\\skin")) CopyTree(config + L"\\skin", product + L"\\skin");
    return true;
}

int DisplayDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> positional;
    std::wstring stateFile;
    bool keep = false;
    int dpi = 0;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--state" && i + 1 < argc)
            stateFile = FullPath(argv[++i]);
        else if (arg == L"--dpi" && i + 1 < argc)
            dpi = _wtoi(argv[++i]);
        else if (arg == L"--keep")
            keep = true;
        else
            positional.push_back(arg);
    }
    if (positional.size() != 2 || !IsFolder(positional[0]) || dpi < 0 ||
        (!stateFile.empty() &&
         ::GetFileAttributesW(stateFile.c_str()) == INVALID_FILE_ATTRIBUTES)) {
        std::fwprintf(stderr,
                      L"usage: settingpreview CONFIG_FOLDER OUTPUT_FOLDER [--state FILE] [--keep] "
                      L"[--dpi N]\n"
                      L"CONFIG_FOLDER holds Setting.ini, CreateDisk.ini and skin\\default.\n");
        return 2;
    }
    if (dpi && dpi != DisplayDpi()) {
        std::fwprintf(stderr,
                      L"settingpreview: the display runs at %d dpi, not %d: the windows take the "
                      L"display's dpi (under Wine: scripts/preview.sh --dpi %d)\n",
                      DisplayDpi(), dpi, dpi);
        return 2;
    }
    const std::wstring config = FullPath(positional[0]);
    const std::wstring output = FullPath(positional[1]);
    ::CreateDirectoryW(output.c_str(), nullptr);
    const std::wstring product = output + L"\\product";
    if (!MakeProduct(config, product)) return 2;

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    SetUpState(product, stateFile, [](sim::EngineState&) {});
    SettingsPasswordAndQuestion(product, output);

    SetUpState(product, stateFile, [](sim::EngineState& state) {
        state.protectOn = false;
        state.delays["EnableProtect"] = kEngineDelayMs;
        state.failures["EnableProtect"] = 5;
    });
    RefusedSwitch(product, output);

    SetUpState(product, stateFile, [](sim::EngineState& state) {
        state.delays["SetSnapshotSetting"] = kEngineDelayMs;
        // A save with the tray icon on would start the tray application, which outlives us.
        state.snapshotSetting.bShowTrayIcon = 0;
    });
    SlowSave(product, output);

    Gdiplus::GdiplusShutdown(token);
    if (!keep) DeleteTree(product);
    return g_failures == 0 ? 0 : 1;
}
