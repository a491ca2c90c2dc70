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

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "FileTree.h"
#include "GdiPlusSession.h"
#include "HostProcess.h"
#include "ProductFolder.h"
#include "SimFiles.h"
#include "SimState.h"
#include "Ui.h"
#include "Wait.h"
#include "WindowPng.h"
#include "resource.h"

namespace {

using harness::HostProcess;

constexpr DWORD kWaitMs = 20000;        // upper bound of every wait for a window
constexpr DWORD kPaintedMs = 300;       // what a window needs to paint once it is idle
constexpr DWORD kEngineDelayMs = 3000;  // how long the slowed engine call keeps a box up

int g_failures = 0;

void Report(const wchar_t* format, const std::wstring& text) {
    std::fwprintf(stdout, format, text.c_str());
    std::fwprintf(stdout, L"\n");
    std::fflush(stdout);
}

// The first visible window of the host that shows control `id`, once it is there and painted.
HWND WaitForWindowShowing(const HostProcess& host, int id) {
    HWND found = nullptr;
    harness::WaitUntil([&] { return (found = host.FindWindowShowing(id)) != nullptr; }, kWaitMs);
    host.Settle(kPaintedMs);
    return found;
}

// Waits until the window showing control `id` has gone.
void WaitUntilGone(const HostProcess& host, int id) {
    harness::WaitUntil([&] { return host.FindWindowShowing(id) == nullptr; }, kWaitMs);
}

void Capture(const HostProcess& host, int id, const std::wstring& output, const wchar_t* name) {
    HWND window = WaitForWindowShowing(host, id);
    const std::wstring path = output + L"\\" + name;
    if (window && harness::SaveWindowAsPng(window, path)) {
        Report(L"saved %ls", path);
    } else {
        Report(L"could not take %ls", path);
        ++g_failures;
    }
}

// ---- The three runs -------------------------------------------------------------------------

void SetUpState(const harness::ProductFolder& product, const std::wstring& stateFile,
                const std::function<void(sim::EngineState&)>& change) {
    const std::wstring state = product.PathOf(sim::kStateFileName);
    if (stateFile.empty())
        ::DeleteFileW(state.c_str());
    else
        ::CopyFileW(stateFile.c_str(), state.c_str(), FALSE);
    ::DeleteFileW(product.PathOf(sim::kJournalFileName).c_str());
    sim::UpdateState(product.Dir(), change);
}

// The settings dialog, then the password dialog and the resize question over it.
void SettingsPasswordAndQuestion(const harness::ProductFolder& product,
                                 const std::wstring& output) {
    HostProcess host(product);
    if (!host.Started()) return;
    HWND settings = WaitForWindowShowing(host, IDC_CHECK_PROTECT);
    Capture(host, IDC_CHECK_PROTECT, output, L"settings.png");
    if (!settings) return;

    if (::SendMessageW(::GetDlgItem(settings, IDC_PASSWORD), BM_GETCHECK, 0, 0) == BST_CHECKED) {
        Report(L"%ls", std::wstring(L"skipped password.png: the engine state holds a password"));
    } else {
        harness::Click(settings, IDC_PASSWORD);
        Capture(host, IDC_E_NEWPASS, output, L"password.png");
        if (HWND password = host.FindWindowShowing(IDC_E_NEWPASS))
            ::PostMessageW(password, WM_COMMAND, IDCANCEL, 0);
        WaitUntilGone(host, IDC_E_NEWPASS);
    }

    harness::PostCommand(settings, IDC_STATIC_RESIZE, STN_CLICKED);
    Capture(host, IDC_MSG_YES, output, L"message-question.png");
    if (HWND question = host.FindWindowShowing(IDC_MSG_YES))
        harness::PostCommand(question, IDC_MSG_NO);
    WaitUntilGone(host, IDC_MSG_YES);
    ::PostMessageW(settings, WM_CLOSE, 0, 0);
    host.WaitForExit(kWaitMs);
}

// A slow switch-on that the engine then refuses: the waiting box, then the error.
void RefusedSwitch(const harness::ProductFolder& product, const std::wstring& output) {
    HostProcess host(product);
    if (!host.Started()) return;
    HWND settings = WaitForWindowShowing(host, IDC_CHECK_PROTECT);
    if (!settings) return;
    harness::Click(settings, IDC_CHECK_PROTECT);
    Capture(host, IDC_STATIC_WAIT, output, L"waiting-on.png");
    Capture(host, IDC_MSG_OK, output, L"message-error.png");
    if (HWND error = host.FindWindowShowing(IDC_MSG_OK)) harness::PostCommand(error, IDC_MSG_OK);
    WaitUntilGone(host, IDC_MSG_OK);
    ::PostMessageW(settings, WM_CLOSE, 0, 0);
    host.WaitForExit(kWaitMs);
}

// A slow save: the waiting box; the dialog then closes by itself.
void SlowSave(const harness::ProductFolder& product, const std::wstring& output) {
    HostProcess host(product);
    if (!host.Started()) return;
    HWND settings = WaitForWindowShowing(host, IDC_CHECK_PROTECT);
    if (!settings) return;
    harness::PostCommand(settings, IDC_BTN_OK);
    Capture(host, IDC_STATIC_WAIT, output, L"waiting-save.png");
    host.WaitForExit(kWaitMs);
}

// The product folder: the programs from this program's own folder, the configuration from
// `config`. False (and said why) when it could not be made.
bool MakeProduct(harness::ProductFolder& product, const std::wstring& config) {
    if (!product.Made()) return false;
    const std::wstring missing = product.AddPrograms(sim::ExecutableFolder());
    if (!missing.empty()) {
        Report(L"settingpreview: cannot copy %ls from the program's folder", missing);
        return false;
    }
    product.AddConfiguration(config);
    return true;
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
            stateFile = harness::FullPath(argv[++i]);
        else if (arg == L"--dpi" && i + 1 < argc)
            dpi = _wtoi(argv[++i]);
        else if (arg == L"--keep")
            keep = true;
        else
            positional.push_back(arg);
    }
    if (positional.size() != 2 || !harness::IsFolder(positional[0]) || dpi < 0 ||
        (!stateFile.empty() &&
         ::GetFileAttributesW(stateFile.c_str()) == INVALID_FILE_ATTRIBUTES)) {
        std::fwprintf(stderr,
                      L"usage: settingpreview CONFIG_FOLDER OUTPUT_FOLDER [--state FILE] [--keep] "
                      L"[--dpi N]\n"
                      L"CONFIG_FOLDER holds Setting.ini, CreateDisk.ini and skin\\default.\n");
        return 2;
    }
    if (dpi && dpi != harness::DisplayDpi()) {
        std::fwprintf(stderr,
                      L"settingpreview: the display runs at %d dpi, not %d: the windows take the "
                      L"display's dpi (under Wine: scripts/preview.sh --dpi %d)\n",
                      harness::DisplayDpi(), dpi, dpi);
        return 2;
    }
    const std::wstring config = harness::FullPath(positional[0]);
    const std::wstring output = harness::FullPath(positional[1]);
    ::CreateDirectoryW(output.c_str(), nullptr);
    harness::ProductFolder product(output + L"\\product");
    if (keep) product.Keep();
    if (!MakeProduct(product, config)) return 2;

    const harness::GdiPlusSession gdiplus;

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

    return g_failures == 0 ? 0 : 1;
}
