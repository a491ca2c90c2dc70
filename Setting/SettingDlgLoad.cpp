// Loading the engine's settings when the dialog opens, and the settings model shown in the
// option controls: which control shows which state of the model.
#include "SettingDlg.h"
#include "SettingEnvironment.h"

using settings::Options;

// Which control shows which state of the model.
std::array<CSettingDlg::ShownToggle, 9> CSettingDlg::Toggles() {
    return {{{&Options::protect, &m_chkProtect},
             {&Options::schedule, &m_chkSchedule},
             {&Options::systemFolder, &m_chkSysFolder},
             {&Options::newProgram, &m_chkNewProgram},
             {&Options::cycle, &m_chkCycle},
             {&Options::restore, &m_chkRestore},
             {&Options::tray, &m_chkTray},
             {&Options::toaster, &m_chkToaster},
             {&Options::password, &m_chkPassword}}};
}

std::array<CSettingDlg::ShownList, 3> CSettingDlg::Lists() {
    return {{{&Options::schedulePeriods, &m_cmbSchedule},
             {&Options::cyclePeriods, &m_cmbCycle},
             {&Options::restoreChoices, &m_cmbRestoreChoice}}};
}

std::array<CSettingDlg::ShownEnabled, 4> CSettingDlg::EnabledOnly() {
    return {{{&Options::scheduleUnitEnabled, &m_stcScheduleUnit},
             {&Options::cycleUnitEnabled, &m_stcCycleUnit},
             {&Options::toTheLatestEnabled, &m_stcToTheLatest},
             {&Options::applyEnabled, &m_btnApply}}};
}

void CSettingDlg::LoadSettings() {
    CSettingEnvironment environment(m_hWnd);
    settings::Options options = m_options;
    settings::Texts texts;
    const auto failure = settings::Load(environment, m_pIniFile.get(), options, texts);
    // What the load got before a failure is shown; the rest stays as the dialog was made.
    m_strProductName = texts.productName;
    if (texts.title) {
        m_strTitle = *texts.title;
        SetText(m_strTitle);
    }
    if (texts.usage) m_stcUsage.SetText(*texts.usage);
    ShowOptions(m_options, options);
    m_options = options;
    if (failure) LogFailure(*failure);
}

void CSettingDlg::ShowUsage() {
    if (!m_pIniFile) return;
    CSettingEnvironment environment(m_hWnd);
    settings::Texts texts;
    const auto failure = settings::LoadUsage(environment, *m_pIniFile, texts);
    if (texts.usage) m_stcUsage.SetText(*texts.usage);
    if (failure) LogFailure(*failure);
}

settings::Options CSettingDlg::ReadUserChoices() {
    settings::Options options = m_options;
    for (const auto& [state, control] : Toggles())
        (options.*state).checked = control->IsChecked();
    for (const auto& [state, control] : Lists())
        (options.*state).selected = control->GetCurSel();
    return options;
}

void CSettingDlg::ShowOptions(const settings::Options& shown, const settings::Options& next) {
    for (const auto& [state, control] : Toggles()) {
        const settings::Toggle &from = shown.*state, &to = next.*state;
        if (to.checked != from.checked) control->SetCheck(to.checked);
        if (to.enabled != from.enabled) control->Enable(to.enabled);
    }
    for (const auto& [state, control] : Lists()) {
        const settings::List &from = shown.*state, &to = next.*state;
        if (to.entries != from.entries) {
            control->ResetContent();
            for (const std::wstring& entry : to.entries)
                control->AddString(entry);
        }
        if (to.selected != from.selected || to.entries != from.entries)
            control->SetCurSel(to.selected);
        if (to.enabled != from.enabled) control->Enable(to.enabled);
    }
    for (const auto& [enabled, control] : EnabledOnly()) {
        if (next.*enabled != shown.*enabled) control->Enable(next.*enabled);
    }
}
