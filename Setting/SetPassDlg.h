// The password dialog: the new password typed twice (the current-password row stays hidden),
// checked and stored in the engine.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Dialog.h"
#include "DialogAccess.h"
#include "IniFile.h"
#include "MyEdit.h"

class CSetPassDlg : public ui::Dialog {
public:
    CSetPassDlg();
    ~CSetPassDlg() override = default;

protected:
    BOOL OnInitDialog() override;
    // Ends with IDOK only after the password was stored.
    void OnOK() override;

private:
    void SetUp();
    void ShowMessage(const config::Key& key, const std::wstring& caption) const;

    CMyEdit m_edtCurrent;  // 1024
    CMyEdit m_edtNew;      // 1025
    CMyEdit m_edtRepeat;   // 1026
    std::unique_ptr<CIniFile> m_pIniFile;
    std::wstring m_strProductName;
    std::wstring m_strTitleCopy;
    std::wstring m_strTitle;
    CDialogAccess m_access;  // screen readers and high contrast
};
