// The option rules as the dialog meets them: each click runs the settings model's rule on the
// controls' states as the user left them (SettingsModel.cpp), and the controls show the result.
#include "SettingDlg.h"

void CSettingDlg::OnScheduleClicked() {
    ApplyRule(settings::ScheduleClicked);
}

void CSettingDlg::OnEventOptionClicked() {
    ApplyRule(settings::EventOptionClicked);
}

void CSettingDlg::OnRestoreClicked() {
    ApplyRule(settings::RestoreClicked);
}

void CSettingDlg::OnNotificationClicked() {
    ApplyRule(settings::NotificationClicked);
}

void CSettingDlg::OnSchedulePeriodChanged() {
    ApplyRule(settings::SchedulePeriodChanged);
}
