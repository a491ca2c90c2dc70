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
    : m_module(module), m_show(show), m_controls(module) {}

double Openings::OpenModule(const HostWindow::AtIdle& atIdle) {
    return m_host.TimeToIdle(atIdle, [&] { m_show(m_host.Handle()); });
}

double Openings::OpenBaseline(const HostWindow::AtIdle& atIdle) {
    return m_host.TimeToIdle(atIdle,
                             [&] { RunBaselineDialog(m_module, m_host.Handle(), m_controls); });
}

}  // namespace bench
