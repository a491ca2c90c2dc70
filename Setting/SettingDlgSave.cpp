// Saving: OK (and the hidden Apply) read the dialog's choices and start the save worker, which
// writes them to the engine behind the waiting box and then closes the dialog.
#include "BootRestore.h"
#include "EngineCall.h"
#include "HostPath.h"
#include "Pellucid.h"
#include "SettingDlg.h"
#include "Trace.h"

SaveChoices CSettingDlg::ReadChoices() const {
    SaveChoices choices;
    choices.schedule = m_chkSchedule.IsChecked();
    choices.scheduleIndex = m_cmbSchedule.GetCurSel();
    choices.toaster = m_chkToaster.IsChecked();
    choices.tray = m_chkTray.IsChecked();
    choices.restore = m_chkRestore.IsChecked();
    choices.restoreChoiceIndex = m_cmbRestoreChoice.GetCurSel();
    choices.cycle = m_chkCycle.IsChecked();
    choices.cycleIndex = m_cmbCycle.GetCurSel();
    choices.systemFolder = m_chkSysFolder.IsChecked();
    choices.newProgram = m_chkNewProgram.IsChecked();
    return choices;
}

namespace {

// Minutes for a period list entry, as the engine stores them: entry 0 stands for
// `firstEntryHours`, any other entry for the hours its text starts with.
DWORD PeriodMinutes(CIniFile& ini, const config::Key& list, int index, float firstEntryHours,
                    float& hours) {
    int value = 0;
    if (index == 0) {
        hours = firstEntryHours;
    } else {
        ini.ReadEntry(list, index, value);
        hours = static_cast<float>(value);
    }
    // Truncated as the engine expects; out-of-range values wrap instead of being undefined.
    return static_cast<DWORD>(static_cast<int64_t>(hours * 60.0f));
}

struct SaveJob {
    HWND dialog;
    DWORD requester;
    const CSettingDlg* owner;  // for ApplyTraySetting; lives until the worker is joined
    SaveChoices choices;
};

void SaveSchedule(CIniFile& ini, const SaveChoices& c, AUTO_CREATE_SETTING& schedule) {
    if (!c.schedule) {
        schedule.dwCycleMinutes = 0;
        schedule.bEnable = 0;
        return;
    }
    float hours = 0.0f;
    schedule.dwCycleMinutes =
        PeriodMinutes(ini, config::kSchedulePeriods, c.scheduleIndex, 0.25f, hours);
    DebugTrace(
        L"save dwCycleMinutes:%f, iValue:%f, strTemp:%s, lpSetting->AutoCreate.dwCycleMinutes:%d",
        static_cast<double>(hours * 60.0f), static_cast<double>(hours),
        config::kSchedulePeriods.EntryName(c.scheduleIndex).c_str(), schedule.dwCycleMinutes);
    schedule.bEnable = 1;
}

// The save itself, on the worker thread. The dialog thread sits in the waiting box meanwhile.
void SaveSettings(const SaveJob& job, CIniFile& ini) {
    const SaveChoices& c = job.choices;
    DWORD protect = 0;
    CHECK_ENGINE(::GetProtectState(&protect));  // only a failure matters

    auto setting = NewRecord<SNAPSHOT_SETTING>();
    setting->cbSize = SNAPSHOT_SETTING_SIZE;
    CHECK_ENGINE(::GetSnapshotSetting(setting.get(), SNAPSHOT_SETTING_SIZE));

    SaveSchedule(ini, c, setting->AutoCreate);
    setting->AutoCreate.bSuppressToaster = c.toaster ? 0 : 1;
    setting->bShowTrayIcon = c.tray ? 1 : 0;
    if (c.restore) {
        setting->bAutoRestore = 1;
        const DWORD result = SetRestore(c.restoreChoiceIndex, job.requester);
        DebugTrace(L"SetRestore result: %d, line:%d, file:%s", result, __LINE__, WFILE);
    } else {
        setting->bAutoRestore = 0;
        ::EnableWindow(::GetDlgItem(job.dialog, IDC_COMBO_AR), FALSE);
        const DWORD result = DelRestore();
        DebugTrace(L"DelRestore result: %d, line:%d, file:%s", result, __LINE__, WFILE);
    }
    setting->dwRestoreChoice = c.restoreChoiceIndex == 0 ? 1 : 0;
    job.owner->ApplyTraySetting(c.tray, &ini);
    CHECK_ENGINE(::SetSnapshotSetting(setting.get(), SNAPSHOT_SETTING_SIZE));

    auto events = NewRecord<EVENT_MONITOR_SETTING>();
    events->cbSize = EVENT_MONITOR_SETTING_SIZE;
    if (c.cycle) {
        float hours = 0.0f;
        events->wCycleMinutes =
            static_cast<WORD>(PeriodMinutes(ini, config::kCyclePeriods, c.cycleIndex, 0.5f, hours));
    }
    events->wFlags = (c.systemFolder ? EVENT_FLAG_PROTECT_SYSTEM_FOLDER : 0) |
                     (c.newProgram ? EVENT_FLAG_SNAPSHOT_ON_INSTALL : 0);
    const DWORD result = ::SetEventMonitorSetting(events.get(), EVENT_MONITOR_SETTING_SIZE);
    DebugTrace(L"Dunmore:SetEventMonitorSetting ret:%d", result);
    CHECK_ENGINE(result);
}

DWORD SaveWorker(const SaveJob& job) {
    DebugTrace(L" lpWnd:0x%08x", job.requester);
    ::PostMessageW(job.dialog, WM_SHOWWAITING, CDlgWaiting::kSaving, 0);
    try {
        // The worker reads the period values through a reader of its own.
        CIniFile ini;
        ini.SetPath(HostFilePath(L"\\Setting.ini"));
        SaveSettings(job, ini);
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    ::PostMessageW(job.dialog, WM_CLOSEWAITING, 0, 0);
    ::PostMessageW(job.dialog, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

bool CSettingDlg::StartSave() {
    // A save ends the dialog: a second click (a queued double click) has nothing to add.
    if (m_bSaveStarted) return false;
    // A protection switch still finishing its last engine calls is waited for, so that the
    // save runs after it instead of being lost.
    m_worker.Join();
    m_bSaveStarted = true;
    SaveJob job{m_hWnd, RequesterId(this), this, ReadChoices()};
    try {
        if (!m_worker.Start([job] { return SaveWorker(job); }))
            RAISE_ERROR(ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
        m_bSaveStarted = false;
        return false;
    }
    return true;
}

void CSettingDlg::OnSave() {
    StartSave();
}

void CSettingDlg::OnApply() {
    if (StartSave()) m_btnApply.Enable(false);
}
