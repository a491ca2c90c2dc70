// Saving: OK (and the hidden Apply) take the user's choices and start the save worker, which
// runs the settings model's save (SettingsModel.cpp) behind the waiting box and then closes the
// dialog.
#include "BootRestore.h"
#include "ExceptionWrapper.h"
#include "HostPath.h"
#include "SettingDlg.h"
#include "SettingEnvironment.h"
#include "Trace.h"

namespace {

struct SaveJob {
    HWND dialog;
    DWORD requester;
    const CSettingDlg* owner;  // for ApplyTraySetting; lives until the worker is joined
    settings::Choices choices;
};

// On the worker thread. The dialog thread sits in the waiting box meanwhile.
DWORD SaveWorker(const SaveJob& job) {
    DebugTrace(L" lpWnd:0x%08x", job.requester);
    ::PostMessageW(job.dialog, WM_SHOWWAITING, CDlgWaiting::kSaving, 0);
    try {
        // The worker reads the period values through a reader of its own.
        CIniFile ini;
        ini.SetPath(HostFilePath(L"\\Setting.ini"));
        CSettingEnvironment environment(job.dialog, job.requester,
                                        [&](bool on) { job.owner->ApplyTraySetting(on, &ini); });
        if (const auto failure = settings::Save(environment, ini, job.choices))
            LogFailure(*failure);
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
    m_options = ReadUserChoices();
    SaveJob job{m_hWnd, RequesterId(this), this, settings::ChoicesOf(m_options)};
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
    if (StartSave()) ApplyRule([](settings::Options& options) { options.applyEnabled = false; });
}
