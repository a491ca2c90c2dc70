// Loading the engine's settings into the settings dialog when it opens.
#include "EngineCall.h"
#include "Pellucid.h"
#include "SettingDlg.h"
#include "Text.h"
#include "Trace.h"

namespace {

// A period list longer than this is not a list a person wrote; the rest is ignored.
constexpr int kMaxPeriodEntries = 100;

constexpr DWORD kScheduleFirstEntryMinutes = 15;
constexpr DWORD kCycleFirstEntryMinutes = 30;

}  // namespace

void CSettingDlg::LoadSettings() {
    try {
        auto info = NewRecord<PRODUCT_INFO>();
        CHECK_ENGINE(::GetProductInfo(info.get(), PRODUCT_INFO_SIZE));
        const std::wstring productName(
            info->szProductName, wcsnlen(info->szProductName, std::size(info->szProductName) - 1));

        if (!m_pIniFile) throw CExceptionWrapper(__LINE__, WFILE, L"iniFile Pointer is NULL");

        m_strProductName = productName;
        m_strTitle = text::ReplaceAll(m_pIniFile->String(config::kTitle), L"[PRODUCTNAME]",
                                      m_strProductName);
        SetText(m_strTitle);

        ShowUsage();

        DWORD protect = 0;
        CHECK_ENGINE(::GetProtectState(&protect));
        m_chkProtect.SetCheck(protect != 0);

        auto setting = NewRecord<SNAPSHOT_SETTING>();
        setting->cbSize = SNAPSHOT_SETTING_SIZE;
        CHECK_ENGINE(::GetSnapshotSetting(setting.get(), SNAPSHOT_SETTING_SIZE));
        m_chkToaster.SetCheck(setting->AutoCreate.bSuppressToaster == 0);
        m_chkTray.SetCheck(setting->bShowTrayIcon != 0);
        m_cmbRestoreChoice.SetCurSel(setting->dwRestoreChoice != 0 ? 0 : 1);
        m_chkRestore.SetCheck(setting->bAutoRestore != 0);
        if (setting->bAutoRestore == 0) m_cmbRestoreChoice.SetCurSel(0);

        if (protect == 0) {
            m_chkRestore.Enable(false);
            m_cmbRestoreChoice.Enable(false);
            m_stcToTheLatest.Enable(false);
        }

        char password[PASSWORD_BUFFER_SIZE] = {};
        if (::GetCvxPassWord(password) == 0) m_chkPassword.SetCheck(password[0] != '\0');

        int count = 0;
        m_pIniFile->ReadInt(config::kPeriodCount, count);
        if (count > kMaxPeriodEntries) {
            LogTrace(__LINE__, WFILE, L"TIMELIST COUNT %d is more than %d; the rest is ignored",
                     count, kMaxPeriodEntries);
            count = kMaxPeriodEntries;
        }

        const AUTO_CREATE_SETTING& schedule = setting->AutoCreate;
        FillPeriodList(m_cmbSchedule, config::kSchedulePeriods, count, schedule.dwCycleMinutes,
                       kScheduleFirstEntryMinutes, true, schedule.bEnable);
        m_chkSchedule.SetCheck(schedule.bEnable != 0);
        m_cmbSchedule.Enable(schedule.bEnable != 0);

        auto events = NewRecord<EVENT_MONITOR_SETTING>();
        events->cbSize = EVENT_MONITOR_SETTING_SIZE;
        CHECK_ENGINE(::GetEventMonitorSetting(events.get(), EVENT_MONITOR_SETTING_SIZE));
        m_chkSysFolder.SetCheck((events->wFlags & EVENT_FLAG_PROTECT_SYSTEM_FOLDER) != 0);
        m_chkNewProgram.SetCheck((events->wFlags & EVENT_FLAG_SNAPSHOT_ON_INSTALL) != 0);

        FillPeriodList(m_cmbCycle, config::kCyclePeriods, count, events->wCycleMinutes,
                       kCycleFirstEntryMinutes, false, 0);

        ApplyCycleRule();
        ApplyRestoreRule();
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
}

void CSettingDlg::ShowUsage() {
    auto usage = NewRecord<SPACE_USAGE>();
    CHECK_ENGINE(::GetSpaceUsage(usage.get(), SPACE_USAGE_SIZE));
    const std::wstring used = text::FormatMegaUnits(usage->dwTotal - usage->dwFree);
    const std::wstring total = text::FormatMegaUnits(usage->dwTotal);
    std::wstring line = m_pIniFile->String(config::kUsageText);
    line = text::ReplaceAll(std::move(line), L"[USED]", used);
    line = text::ReplaceAll(std::move(line), L"[TOTAL]", total);
    m_stcUsage.SetText(line);
}

// Builds a period list from "TIME_0" ... of `section` and selects the entry whose hours make
// `minutes`; `firstEntryMinutes` always selects entry 0.
void CSettingDlg::FillPeriodList(ui::ComboBox& list, const config::Key& periods, int count,
                                 DWORD minutes, DWORD firstEntryMinutes, bool trace,
                                 DWORD scheduleEnabled) {
    for (int i = 0; i < count; ++i) {
        std::wstring entry;
        int hours = 0;
        m_pIniFile->ReadEntry(periods, i, entry);
        m_pIniFile->ReadEntry(periods, i, hours);
        if (trace) DebugTrace(L"iValue:%d, dwCycleMinutes:%d", hours, minutes);
        list.AddString(entry);
        if (static_cast<int64_t>(hours) * 60 == static_cast<int64_t>(minutes)) {
            const int result = list.SetCurSel(i);
            if (trace) {
                DebugTrace(L"setcursel:%d, ret:%d, lpSetting->AutoCreate.bEnable:%d", i, result,
                           scheduleEnabled);
            }
        }
        if (minutes == firstEntryMinutes) list.SetCurSel(0);
    }
}

// The cycle box is never enabled by the user: the event options decide it.
void CSettingDlg::ApplyCycleRule() {
    const bool eventWatch = m_chkNewProgram.IsChecked() || m_chkSysFolder.IsChecked();
    m_chkCycle.SetCheck(eventWatch);
    m_chkCycle.Enable(false);
    m_cmbCycle.Enable(eventWatch);
    m_stcCycleUnit.Enable(eventWatch);
}

// With restore at start-up on, the snapshot options are greyed (their values stay).
void CSettingDlg::ApplyRestoreRule() {
    if (!m_chkRestore.IsChecked()) return;
    for (const ui::Window* control : std::initializer_list<const ui::Window*>{
             &m_chkSchedule, &m_cmbSchedule, &m_stcScheduleUnit, &m_chkSysFolder, &m_chkNewProgram,
             &m_chkCycle, &m_cmbCycle, &m_stcCycleUnit}) {
        control->Enable(false);
    }
}
