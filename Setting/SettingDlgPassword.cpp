// The password box: ticking it opens the password dialog, clearing it removes the password
// after a question.
#include "ExceptionWrapper.h"
#include "Pellucid.h"
#include "SetPassDlg.h"
#include "SettingDlg.h"

void CSettingDlg::OnPasswordClicked() {
    if (m_chkPassword.IsChecked()) {
        try {
            auto dialog = std::make_unique<CSetPassDlg>();
            if (dialog->DoModal(m_hWnd) != IDOK) m_chkPassword.SetCheck(false);
        } catch (...) {
            LOG_CAUGHT_EXCEPTION();
            m_chkPassword.SetCheck(false);
        }
        return;
    }
    const std::wstring question = m_pIniFile->String(config::kPasswordOffQuestion);
    const std::wstring caption = m_pIniFile->String(config::kMessageCaption);
    if (::MessageBoxW(m_hWnd, question.c_str(), caption.c_str(), MB_OKCANCEL) != IDOK) {
        m_chkPassword.SetCheck(true);
        return;
    }
    const DWORD result = ::SetCvxPassWord("");
    CExceptionWrapper(0, nullptr, L"SetCvxPassWord ret:%d", result)
        .WriteLog(CExceptionWrapper::kToLogFile);
}
