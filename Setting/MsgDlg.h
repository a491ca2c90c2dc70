// The module's skinned message box: a red heading (warning or error), the caller's text, and
// Yes/No or OK, under the title band with the product's caption. Its words come from
// CreateDisk.ini.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Dialog.h"
#include "DialogAccess.h"
#include "SkinFrame.h"
#include "IniFile.h"
#include "NvStatic.h"
#include "resource.h"

class CMsgDlg : public ui::Dialog {
public:
    enum Mode { kError = 1, kWarning = 4 };
    enum Result { kYesOrOk = 1, kNo = 2 };

    CMsgDlg(int mode, const std::wstring& message);
    ~CMsgDlg() override = default;

    void SetMessage(int mode, const std::wstring& message);
    // DoModal(owner) runs the box: 1 for Yes or OK, 2 for No or Escape.

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { EndDialog(kYesOrOk); }
    void OnCancel() override { EndDialog(kNo); }

    BEGIN_MSG_MAP()
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
        MESSAGE_HANDLER(WM_CTLCOLORBTN, OnCtlColor)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
        COMMAND_HANDLER(kYesId, BN_CLICKED, OnYes)
        COMMAND_HANDLER(kNoId, BN_CLICKED, OnNo)
        COMMAND_HANDLER(kOkId, BN_CLICKED, OnYes)
    END_MSG_MAP()

private:
    static constexpr int kYesId = IDC_MSG_YES;
    static constexpr int kNoId = IDC_MSG_NO;
    static constexpr int kOkId = IDC_MSG_OK;

    LRESULT OnShowWindow(WPARAM, LPARAM, bool&);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM, bool& handled);
    LRESULT OnCtlColor(WPARAM wParam, LPARAM, bool&);
    LRESULT OnLButtonDown(WPARAM, LPARAM lParam, bool& handled);
    void OnYes() { EndDialog(kYesOrOk); }
    void OnNo() { EndDialog(kNo); }
    void SetUp();

    CNvStatic m_stcHeading;  // 1036
    std::wstring m_strHeading;
    std::wstring m_strMessage;
    int m_nMode;
    std::unique_ptr<CIniFile> m_pIniFile;  // CreateDisk.ini
    CSkinFrameCache m_frame;               // the painted frame, kept between erases
    CDialogAccess m_access;  // screen readers and high contrast
};
