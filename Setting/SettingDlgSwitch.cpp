// The protection switch: on at once, off after a question, each on a worker behind the
// waiting box, with the boot entry and restore at start-up that go with it; a refusal is
// shown once the box has closed.
#include "BootRestore.h"
#include "EngineCall.h"
#include "MsgDlg.h"
#include "Pellucid.h"
#include "SettingDlg.h"
#include "Trace.h"

namespace {

DWORD EnableProtectWorker(HWND dialog, UINT failedMessage) {
    ::PostMessageW(dialog, WM_SHOWWAITING, CDlgWaiting::kSwitchingOn, 0);
    const DWORD result = ::EnableProtect();
    // The failure goes first: the dialog keeps it until the waiting box has closed.
    if (result != 0) ::PostMessageW(dialog, failedMessage, 1, static_cast<LPARAM>(result));
    ::PostMessageW(dialog, WM_CLOSEWAITING, 0, 0);
    // Even after a failed switch-on: when restore at start-up is armed, the boot entry is set.
    try {
        auto setting = NewRecord<SNAPSHOT_SETTING>();
        setting->cbSize = SNAPSHOT_SETTING_SIZE;
        CHECK_ENGINE(::GetSnapshotSetting(setting.get(), SNAPSHOT_SETTING_SIZE));
        if (setting->bAutoRestore != 0) SetPEBoot(1);
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    return result;
}

DWORD DisableProtectWorker(HWND dialog, UINT failedMessage) {
    ::PostMessageW(dialog, WM_SHOWWAITING, CDlgWaiting::kSwitchingOff, 0);
    const DWORD result = ::DisableProtect();
    // Whatever the engine answered: no boot entry and no restore at start-up stay behind.
    SetPEBoot(0);
    ::ClearBootRestore();
    if (result != 0) ::PostMessageW(dialog, failedMessage, 0, static_cast<LPARAM>(result));
    ::PostMessageW(dialog, WM_CLOSEWAITING, 0, 0);
    return result;
}

}  // namespace

void CSettingDlg::OnProtectSwitch() {
    const int state = m_chkProtect.GetCheck();
    DebugTrace(L"%d", state);
    const bool on = state == BST_CHECKED;
    if (WorkerBusy()) {
        // A click that arrived while the previous switch still runs is undone.
        ApplyRule([on](settings::Options& options) { options.protect.checked = !on; });
        return;
    }
    if (!on) {
        const std::wstring question = m_pIniFile->String(config::kDisableQuestion);
        if (::MessageBoxW(m_hWnd, question.c_str(), m_strTitle.c_str(), MB_OKCANCEL) != IDOK) {
            ApplyRule([](settings::Options& options) { options.protect.checked = true; });
            return;
        }
    }
    HWND dialog = m_hWnd;
    const bool started =
        on ? m_worker.Start([dialog] { return EnableProtectWorker(dialog, kProtectFailed); })
           : m_worker.Start([dialog] { return DisableProtectWorker(dialog, kProtectFailed); });
    if (!started) {
        LOG_ERROR(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    ApplyRule([on](settings::Options& options) { settings::ProtectionSwitched(options, on); });
}

// A protection worker reported a refused switch. The report arrives while the waiting box is
// still up, so it is kept until the box has closed; then the message is shown, modal over
// this dialog, and the code is logged.
LRESULT CSettingDlg::OnProtectFailed(WPARAM wParam, LPARAM lParam, bool&) {
    m_pendingFailure = PendingFailure{wParam == 1, static_cast<int>(lParam)};
    if (!m_dlgWaiting.IsRunning()) ShowPendingFailure();
    return 0;
}

void CSettingDlg::ShowPendingFailure() {
    if (!m_pendingFailure) return;
    const bool switchingOn = m_pendingFailure->switchingOn;
    const int code = m_pendingFailure->code;
    m_pendingFailure.reset();
    try {
        const std::wstring message =
            m_pIniFile->String(switchingOn ? config::kEnableError : config::kDisableError);
        CMsgDlg box(CMsgDlg::kError, message);
        box.SetMessage(CMsgDlg::kError, message);
        box.DoModal(m_hWnd);
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    LOG_ERROR(code);
}
