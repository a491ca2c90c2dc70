#include "MsgDlg.h"

#include <windowsx.h>

#include "Dpi.h"
#include "ExceptionWrapper.h"
#include "HostPath.h"
#include "Pellucid.h"
#include "SkinFrame.h"
#include "resource.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
}  // namespace

CMsgDlg::CMsgDlg(int mode, const std::wstring& message)
    : ui::Dialog(IDD_MSGDLG), m_strMessage(message), m_nMode(mode) {}

void CMsgDlg::SetMessage(int mode, const std::wstring& message) {
    m_nMode = mode;
    m_strMessage = message;
}

BOOL CMsgDlg::OnInitDialog() {
    m_stcHeading.SubclassDlgItem(IDC_MSG_HEADING, m_hWnd);
    m_access.Attach(m_hWnd);
    CenterOnOwner();
    return TRUE;
}

LRESULT CMsgDlg::OnShowWindow(WPARAM wParam, LPARAM, bool& handled) {
    handled = false;  // the default handling runs as well
    if (wParam) SetUp();
    return 0;
}

// Fills the box when it is shown. A failure stops here, logged; the box then shows what was
// set so far.
void CMsgDlg::SetUp() {
    try {
        const std::wstring dir = HostDirectory();
        const std::wstring iniPath = dir.empty() ? std::wstring() : dir + L"\\CreateDisk.ini";
        CheckConfigFile(iniPath);
        LoadSkinBackgrounds(dir.empty() ? nullptr : dir.c_str());

        ::ShowWindow(Item(IDC_MSG_OK), SW_HIDE);
        ::ShowWindow(Item(IDC_MSG_NO), SW_SHOW);
        ::ShowWindow(Item(IDC_MSG_YES), SW_SHOW);

        {
            auto info = std::make_unique<PRODUCT_INFO>();
            ::GetProductInfo(info.get(), PRODUCT_INFO_SIZE);  // the result does not matter
            info->szCaption[std::size(info->szCaption) - 1] = L'\0';
            SetText(info->szCaption);
        }

        m_pIniFile = std::make_unique<CIniFile>(iniPath.c_str());
        const bool error = m_nMode == kError;
        if (error || m_nMode == kWarning) {
            m_pIniFile->ReadString(error ? config::kErrorHeading : config::kWarningHeading,
                                   m_strHeading);
            ::ShowWindow(Item(IDC_MSG_NO), error ? SW_HIDE : SW_SHOW);
            ::ShowWindow(Item(IDC_MSG_YES), error ? SW_HIDE : SW_SHOW);
            ::ShowWindow(Item(IDC_MSG_OK), error ? SW_SHOW : SW_HIDE);
        }
        m_stcHeading.SetText(m_strHeading);
        m_pIniFile->ApplyText(Item(IDC_MSG_YES), config::kYesText);
        m_pIniFile->ApplyText(Item(IDC_MSG_NO), config::kNoText);
        ::SetDlgItemTextW(m_hWnd, IDC_MSG_TEXT, m_strMessage.c_str());

        m_stcHeading.SetBkColor(kWhite, TRUE);
        m_stcHeading.SetTextColor(kRed, TRUE);
        m_stcHeading.SetFont(L"Segoe UI", 10, 1, FALSE, TRUE);
        m_stcHeading.SetHandCursor(FALSE);
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
}

LRESULT CMsgDlg::OnEraseBkgnd(WPARAM wParam, LPARAM, bool& handled) {
    if (m_frame.Paint(m_hWnd, reinterpret_cast<HDC>(wParam), dpi::OfWindow(m_hWnd)) != 0)
        handled = false;
    return TRUE;
}

LRESULT CMsgDlg::OnCtlColor(WPARAM wParam, LPARAM, bool&) {
    return SkinControlColor(reinterpret_cast<HDC>(wParam));
}

LRESULT CMsgDlg::OnLButtonDown(WPARAM, LPARAM lParam, bool& handled) {
    if (!InDragBand(lParam, dpi::OfWindow(m_hWnd))) return 0;
    StartCaptionDrag(lParam);
    handled = false;
    return 0;
}
