#include "Openings.h"

#include "resource.h"

namespace bench {
namespace {

INT_PTR CALLBACK BaselineProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

}  // namespace

ShowDlgSettingFn ShowDlgSettingOf(HMODULE module) {
    // Through void*: the platform declares every export as one function type.
    return reinterpret_cast<ShowDlgSettingFn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "ShowDlgSetting")));
}

void RunBaselineDialog(HMODULE module, HWND parent, const harness::ManifestContext& controls) {
    const harness::ManifestContext::Activation active(controls);
    ::DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_SETTING), parent, BaselineProc, 0);
}

void CloseModuleDialog(HWND dialog) {
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}

void CloseBaselineDialog(HWND dialog) {
    ::EndDialog(dialog, IDCANCEL);
}

Openings::Openings(HMODULE module, ShowDlgSettingFn show)
    : module_(module), show_(show), controls_(module) {}

double Openings::OpenModule(const HostWindow::AtIdle& atIdle) {
    return host_.TimeToIdle(atIdle, [&] { show_(host_.Handle()); });
}

double Openings::OpenBaseline(const HostWindow::AtIdle& atIdle) {
    return host_.TimeToIdle(atIdle, [&] { RunBaselineDialog(module_, host_.Handle(), controls_); });
}

}  // namespace bench
