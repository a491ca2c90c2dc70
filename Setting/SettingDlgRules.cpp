// The option rules: which boxes and lists of the settings dialog enable, grey, check and
// clear each other as the user clicks, and which changes arm the hidden Apply button.
#include "SettingDlg.h"

void CSettingDlg::EnableApply() {
    m_btnApply.Enable(true);
}

// Rule S: the schedule box enables its list; checking it clears restore at start-up.
void CSettingDlg::OnScheduleClicked() {
    if (m_chkSchedule.IsChecked()) {
        m_cmbSchedule.Enable(true);
        m_chkRestore.SetCheck(false);
    } else {
        m_cmbSchedule.Enable(false);
    }
    m_btnApply.Enable(true);
    ::InvalidateRect(m_btnApply.Handle(), nullptr, FALSE);
}

// Rule E: an event option turns the cycle on (greyed) and clears restore at start-up.
void CSettingDlg::OnEventOptionClicked() {
    m_btnApply.Enable(true);
    if (!m_chkNewProgram.IsChecked() && !m_chkSysFolder.IsChecked()) {
        m_chkCycle.SetCheck(false);
        m_chkCycle.Enable(false);
        m_chkCycle.SetCheck(false);
        m_cmbCycle.Enable(false);
        m_stcCycleUnit.Enable(false);
    } else {
        m_chkCycle.SetCheck(true);
        m_chkCycle.Enable(false);
        m_chkCycle.SetCheck(true);
        m_cmbCycle.Enable(true);
        m_stcCycleUnit.Enable(true);
        m_chkRestore.SetCheck(false);
    }
}

// Rule A: restore at start-up excludes every snapshot option; clearing it turns them all on.
void CSettingDlg::OnRestoreClicked() {
    if (m_chkRestore.IsChecked()) {
        m_chkSchedule.SetCheck(false);
        m_chkSchedule.Enable(false);
        m_stcScheduleUnit.Enable(false);
        m_cmbSchedule.Enable(false);
        m_chkSysFolder.SetCheck(false);
        m_chkSysFolder.Enable(false);
        m_chkNewProgram.SetCheck(false);
        m_chkNewProgram.Enable(false);
        m_chkCycle.SetCheck(false);
        m_chkCycle.Enable(false);
        m_cmbCycle.Enable(false);
        m_stcCycleUnit.Enable(false);
    } else {
        m_chkSchedule.Enable(true);
        m_stcScheduleUnit.Enable(true);
        m_cmbSchedule.Enable(true);
        m_chkSysFolder.Enable(true);
        m_chkNewProgram.Enable(true);
        m_chkCycle.Enable(false);
        m_chkSchedule.SetCheck(true);
        m_chkSysFolder.SetCheck(true);
        m_chkNewProgram.SetCheck(true);
        m_chkCycle.SetCheck(true);
        m_cmbCycle.Enable(true);
        m_stcCycleUnit.Enable(true);
    }
}
