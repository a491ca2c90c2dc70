// The resize link: after a question, restore at start-up is cancelled and the resize tool runs
// with the dialog hidden; its flag in the registry tells whether it worked.
#include "BootRestore.h"
#include "EngineCall.h"
#include "HostPath.h"
#include "Marrowick.h"
#include "MsgDlg.h"
#include "Pellucid.h"
#include "Process.h"
#include "SettingDlg.h"
#include "Text.h"

void CSettingDlg::OnResize() {
    if (!m_pIniFile) return;
    bool hidden = false;
    try {
        const std::wstring question = m_pIniFile->String(config::kResizeQuestion);
        auto confirm = std::make_unique<CMsgDlg>(CMsgDlg::kWarning, question);
        confirm->SetMessage(CMsgDlg::kWarning, question);
        if (confirm->DoModal(m_hWnd) != CMsgDlg::kYesOrOk) return;

        {
            auto setting = NewRecord<SNAPSHOT_SETTING>();
            setting->cbSize = SNAPSHOT_SETTING_SIZE;
            CHECK_ENGINE(::GetSnapshotSetting(setting.get(), SNAPSHOT_SETTING_SIZE));
            if (setting->bAutoRestore != 0) {
                ::ClearBootRestore();
                SetPEBoot(0);
            }
        }

        Hide();
        hidden = true;
        const std::wstring dir = HostDirectory();
        const std::wstring tool = dir + L"\\Tessinit.exe";
        LogTrace(__LINE__, WFILE, L"app =%s,directory = %s", tool.c_str(), dir.c_str());
        // A tool that cannot be started leaves the flag unset, so the user is told below;
        // the log keeps the reason.
        const DWORD started = RunProgram(tool, L" -RESIZE", dir, true, true);
        if (started != 0) LOG_ERROR(static_cast<int>(started));

        wchar_t flag[260] = {};
        ReadRegString(HKEY_CLASSES_ROOT, L"Merrowfield", L"InitNvOk", flag, sizeof flag);
        if (!text::SaysTrue(flag, std::size(flag))) {
            const std::wstring failure = m_pIniFile->String(config::kResizeFailure);
            CMsgDlg error(CMsgDlg::kError, failure);
            error.SetMessage(CMsgDlg::kError, failure);
            error.DoModal(m_hWnd);
        }
        // Back to the user, with the new size of the area.
        ShowUsage();
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    if (hidden) {
        Show(SW_SHOW);
        ::SetForegroundWindow(m_hWnd);
    }
}
