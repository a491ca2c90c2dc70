#include "SetPassDlg.h"

#include <new>

#include "Dpi.h"
#include "ExceptionWrapper.h"
#include "Pellucid.h"
#include "Text.h"
#include "resource.h"

namespace {

// Controls in the order they are texted and placed, with their keys.
const struct {
    int id;
    const config::Key& text;
    const config::Key& position;
} kControls[] = {{IDC_S_CURPASS, config::kCurrentLabelText, config::kCurrentLabelPos},
                 {IDC_E_CURPASS, config::kCurrentEditText, config::kCurrentEditPos},
                 {IDC_S_NEWPASS, config::kNewLabelText, config::kNewLabelPos},
                 {IDC_E_NEWPASS, config::kNewEditText, config::kNewEditPos},
                 {IDC_S_NEWPASS2, config::kRepeatLabelText, config::kRepeatLabelPos},
                 {IDC_E_NEWPASS2, config::kRepeatEditText, config::kRepeatEditPos},
                 {IDOK, config::kPassOkText, config::kPassOkPos},
                 {IDCANCEL, config::kPassCancelText, config::kPassCancelPos},
                 {IDC_S_FORGETPASS, config::kForgotText, config::kForgotPos}};

std::wstring FromAnsi(const char* bytes, int size) {
    wchar_t wide[PASSWORD_BUFFER_SIZE] = {};
    ::MultiByteToWideChar(CP_ACP, 0, bytes, size, wide, PASSWORD_BUFFER_SIZE);
    wide[PASSWORD_BUFFER_SIZE - 1] = L'\0';
    return wide;
}

}  // namespace

CSetPassDlg::CSetPassDlg() : ui::Dialog(IDD_SETPASS), m_pIniFile(new (std::nothrow) CIniFile()) {}

BOOL CSetPassDlg::OnInitDialog() {
    m_edtCurrent.SubclassDlgItem(IDC_E_CURPASS, m_hWnd);
    m_edtNew.SubclassDlgItem(IDC_E_NEWPASS, m_hWnd);
    m_edtRepeat.SubclassDlgItem(IDC_E_NEWPASS2, m_hWnd);
    m_access.Attach(m_hWnd);
    try {
        SetUp();
    } catch (...) {
        // Without its texts and the product's name the dialog cannot be used: it is logged
        // and ends as cancelled, which clears the check box again.
        LOG_CAUGHT_EXCEPTION();
        EndDialog(IDCANCEL);
    }
    return TRUE;
}

void CSetPassDlg::SetUp() {
    if (!m_pIniFile) throw CExceptionWrapper(__LINE__, WFILE, L"iniFile Object is null");
    m_pIniFile->SetPath(HostFilePath(L"\\Setting.ini"));

    auto info = std::make_unique<PRODUCT_INFO>();
    const DWORD result = ::GetProductInfo(info.get(), PRODUCT_INFO_SIZE);
    if (result != 0) RAISE_ERROR(static_cast<int>(result));
    m_strProductName.assign(info->szProductName,
                            wcsnlen(info->szProductName, std::size(info->szProductName) - 1));

    if (!m_pIniFile) throw CExceptionWrapper(__LINE__, WFILE, L"iniFile Pointer is NULL");
    std::wstring title;
    m_pIniFile->ReadString(config::kTitle, title);
    m_strTitle = text::ReplaceAll(title, L"[PRODUCTNAME]", m_strProductName);
    SetText(m_strTitle);
    m_strTitleCopy = m_strTitle;

    const UINT dpi = dpi::OfWindow(m_hWnd);
    m_pIniFile->ApplyPosition(m_hWnd, config::kPassDialogPos, dpi);
    CenterOnOwner();
    for (const auto& control : kControls) {
        m_pIniFile->ApplyText(Item(control.id), control.text);
        m_pIniFile->ApplyPosition(Item(control.id), control.position, dpi);
    }
}

void CSetPassDlg::ShowMessage(const config::Key& key, const std::wstring& caption) const {
    std::wstring message;
    m_pIniFile->ReadString(key, message);
    ::MessageBoxW(m_hWnd, message.c_str(), caption.c_str(), MB_OK);
}

void CSetPassDlg::OnOK() {
    if (!m_pIniFile) return;
    std::wstring staticTitle;
    m_pIniFile->ReadString(config::kMessageCaption, staticTitle);
    const std::wstring current = m_edtCurrent.GetText();
    const std::wstring typed = m_edtNew.GetText();
    const std::wstring repeated = m_edtRepeat.GetText();

    char stored[PASSWORD_BUFFER_SIZE] = {};
    if (::GetCvxPassWord(stored) == 0 &&
        FromAnsi(stored, static_cast<int>(PASSWORD_BUFFER_SIZE)) != current) {
        ShowMessage(config::kPassIncorrect, m_strTitle);
        return;
    }
    if (typed != repeated) {
        ShowMessage(config::kPassMismatch, m_strTitle);
        return;
    }
    if (typed.empty() || repeated.empty()) {
        ShowMessage(config::kPassEmpty, staticTitle);
        return;
    }

    char password[PASSWORD_BUFFER_SIZE] = {};
    ::WideCharToMultiByte(CP_ACP, 0, typed.c_str(), -1, password, PASSWORD_BUFFER_SIZE, nullptr,
                          nullptr);
    password[PASSWORD_BUFFER_SIZE - 1] = '\0';
    const DWORD result = ::SetCvxPassWord(password);
    if (result == 0) {
        ShowMessage(config::kPassSaved, m_strTitle);
        EndDialog(IDOK);
        return;
    }
    // The translator's text is a pattern for one integer, never a printf format.
    std::wstring pattern;
    m_pIniFile->ReadString(config::kPassSaveFailed, pattern);
    const std::wstring message = text::FormatWithOneInteger(pattern, static_cast<int32_t>(result));
    ::MessageBoxW(m_hWnd, message.c_str(), m_strTitle.c_str(), MB_OK);
}
