#include "SetPassDlg.h"

#include <new>

#include "ExceptionWrapper.h"
#include "Pellucid.h"
#include "Text.h"
#include "resource.h"

namespace {

// Controls in the order they are texted and placed, with their INI keys.
const struct {
    int id;
    const wchar_t* key;
} kControls[] = {{IDC_S_CURPASS, L"S_CURPASS"},
                 {IDC_E_CURPASS, L"E_CURPASS"},
                 {IDC_S_NEWPASS, L"S_NEWPASS"},
                 {IDC_E_NEWPASS, L"E_NEWPASS"},
                 {IDC_S_NEWPASS2, L"S_NEWPASS2"},
                 {IDC_E_NEWPASS2, L"E_NEWPASS2"},
                 {IDOK, L"S_PASSOK"},
                 {IDCANCEL, L"S_PASSCANCEL"},
                 {IDC_S_FORGETPASS, L"S_FORGETPASS"}};

std::wstring FromAnsi(const char* bytes, int size) {
    wchar_t wide[PASSWORD_BUFFER_SIZE] = {};
    ::MultiByteToWideChar(CP_ACP, 0, bytes, size, wide, PASSWORD_BUFFER_SIZE);
    wide[PASSWORD_BUFFER_SIZE - 1] = L'\0';
    return wide;
}

}  // namespace

CSetPassDlg::CSetPassDlg(HWND)
    : ui::Dialog(IDD_SETPASS), m_pIniFile(new (std::nothrow) CIniFile()) {}

BOOL CSetPassDlg::OnInitDialog() {
    m_edtCurrent.SubclassDlgItem(IDC_E_CURPASS, hwnd_);
    m_edtNew.SubclassDlgItem(IDC_E_NEWPASS, hwnd_);
    m_edtRepeat.SubclassDlgItem(IDC_E_NEWPASS2, hwnd_);
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
    if (!m_pIniFile)
        throw CExceptionWrapper(__LINE__, WFILE, L"iniFile Object is null");
    m_pIniFile->SetPath(HostFilePath(L"\\Setting.ini"));

    auto info = std::make_unique<PRODUCT_INFO>();
    const DWORD result = ::GetProductInfo(info.get(), PRODUCT_INFO_SIZE);
    if (result != 0)
        RAISE_ERROR(static_cast<int>(result));
    m_strProductName.assign(info->szProductName,
                            wcsnlen(info->szProductName, std::size(info->szProductName) - 1));

    if (!m_pIniFile)
        throw CExceptionWrapper(__LINE__, WFILE, L"iniFile Pointer is NULL");
    std::wstring title;
    m_pIniFile->ReadString(L"SETTING", L"TITLE", title);
    m_strTitle = text::ReplaceAll(title, L"[PRODUCTNAME]", m_strProductName);
    SetText(m_strTitle);
    m_strTitleCopy = m_strTitle;

    m_pIniFile->ApplyPosition(hwnd_, L"POSITION", L"PASSDLG");
    CenterOnOwner();
    for (const auto& control : kControls) {
        m_pIniFile->ApplyText(Item(control.id), L"SETTING", control.key);
        m_pIniFile->ApplyPosition(Item(control.id), L"POSITION", control.key);
    }
}

void CSetPassDlg::ShowMessage(const wchar_t* key, const std::wstring& caption) const {
    std::wstring message;
    m_pIniFile->ReadString(L"Setting", key, message);
    ::MessageBoxW(hwnd_, message.c_str(), caption.c_str(), MB_OK);
}

void CSetPassDlg::OnOK() {
    if (!m_pIniFile)
        return;
    std::wstring staticTitle;
    m_pIniFile->ReadString(L"SETTING", L"STATIC_TITLE", staticTitle);
    const std::wstring current = m_edtCurrent.GetText();
    const std::wstring typed = m_edtNew.GetText();
    const std::wstring repeated = m_edtRepeat.GetText();

    char stored[PASSWORD_BUFFER_SIZE] = {};
    if (::GetCvxPassWord(stored) == 0 &&
        FromAnsi(stored, static_cast<int>(PASSWORD_BUFFER_SIZE)) != current) {
        ShowMessage(L"S_MSG_PASS_INCORRECT", m_strTitle);
        return;
    }
    if (typed != repeated) {
        ShowMessage(L"S_MSG_PASS_DONOTMATCH", m_strTitle);
        return;
    }
    if (typed.empty() || repeated.empty()) {
        ShowMessage(L"S_MSG_PASS_NULL", staticTitle);
        return;
    }

    char password[PASSWORD_BUFFER_SIZE] = {};
    ::WideCharToMultiByte(CP_ACP, 0, typed.c_str(), -1, password, PASSWORD_BUFFER_SIZE, nullptr,
                          nullptr);
    password[PASSWORD_BUFFER_SIZE - 1] = '\0';
    const DWORD result = ::SetCvxPassWord(password);
    if (result == 0) {
        ShowMessage(L"S_MSG_PASS_SAVEOK", m_strTitle);
        EndDialog(IDOK);
        return;
    }
    // The translator's text is a pattern for one integer, never a printf format.
    std::wstring pattern;
    m_pIniFile->ReadString(L"Setting", L"S_MSG_PASS_SAVEFAIL", pattern);
    const std::wstring message = text::FormatWithOneInteger(pattern, static_cast<int32_t>(result));
    ::MessageBoxW(hwnd_, message.c_str(), m_strTitle.c_str(), MB_OK);
}
