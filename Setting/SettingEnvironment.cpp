#include "SettingEnvironment.h"

#include <utility>

#include "BootRestore.h"
#include "ExceptionWrapper.h"
#include "Pellucid.h"
#include "Trace.h"
#include "resource.h"

namespace {

std::wstring Widened(const char* text) {
    std::wstring wide;
    for (; text && *text; ++text)
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
    return wide;
}

}  // namespace

CSettingEnvironment::CSettingEnvironment(HWND dialog, DWORD requester,
                                         std::function<void(bool)> applyTray)
    : m_hDialog(dialog), m_dwRequester(requester), m_applyTray(std::move(applyTray)) {}

DWORD CSettingEnvironment::GetProductInfo(PRODUCT_INFO& info) {
    return ::GetProductInfo(&info, PRODUCT_INFO_SIZE);
}

DWORD CSettingEnvironment::GetSpaceUsage(SPACE_USAGE& usage) {
    return ::GetSpaceUsage(&usage, SPACE_USAGE_SIZE);
}

DWORD CSettingEnvironment::GetProtectState(DWORD& state) {
    return ::GetProtectState(&state);
}

DWORD CSettingEnvironment::GetSnapshotSetting(SNAPSHOT_SETTING& setting) {
    return ::GetSnapshotSetting(&setting, SNAPSHOT_SETTING_SIZE);
}

DWORD CSettingEnvironment::SetSnapshotSetting(SNAPSHOT_SETTING& setting) {
    return ::SetSnapshotSetting(&setting, SNAPSHOT_SETTING_SIZE);
}

DWORD CSettingEnvironment::GetEventMonitorSetting(EVENT_MONITOR_SETTING& setting) {
    return ::GetEventMonitorSetting(&setting, EVENT_MONITOR_SETTING_SIZE);
}

DWORD CSettingEnvironment::SetEventMonitorSetting(EVENT_MONITOR_SETTING& setting) {
    return ::SetEventMonitorSetting(&setting, EVENT_MONITOR_SETTING_SIZE);
}

DWORD CSettingEnvironment::GetPassword(char (&password)[PASSWORD_BUFFER_SIZE]) {
    return ::GetCvxPassWord(password);
}

DWORD CSettingEnvironment::ArmRestore(int choiceIndex) {
    return SetRestore(choiceIndex, m_dwRequester);
}

DWORD CSettingEnvironment::CancelRestore() {
    return DelRestore();
}

void CSettingEnvironment::ApplyTray(bool on) {
    if (m_applyTray) m_applyTray(on);
}

void CSettingEnvironment::Trace(const std::wstring& text) {
    DebugTrace(L"%s", text.c_str());
}

void CSettingEnvironment::LogTrace(int line, const char* file, const std::wstring& text) {
    const std::wstring source = Widened(file);
    ::LogTrace(line, source.c_str(), L"%s", text.c_str());
}

void CSettingEnvironment::GreyRestoreChoices() {
    ::EnableWindow(::GetDlgItem(m_hDialog, IDC_COMBO_AR), FALSE);
}

void LogFailure(const settings::Failure& failure) {
    const std::wstring source = Widened(failure.file);
    if (!failure.text.empty()) {
        CExceptionWrapper(failure.line, source.c_str(), L"%s", failure.text.c_str())
            .WriteLog(CExceptionWrapper::kToLogFile);
    } else {
        LogError(failure.code, failure.line, source.c_str());
    }
}
