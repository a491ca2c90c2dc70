// The settings dialog: construction, layout from Setting.ini, and its frame (background,
// close box, drag band, swallowed keys, the waiting box it shows for its workers).
#include "SettingDlg.h"

#include <windowsx.h>

#include <new>

#include "ExceptionWrapper.h"
#include "HostPath.h"
#include "SkinFrame.h"
#include "Text.h"
#include "Trace.h"

namespace {

constexpr int kCaptionBand = 30;   // presses at y <= 30 drag the dialog
constexpr int kCloseBoxSize = 30;  // the clickable close box: 30 x 30 at the top right
constexpr int kCloseBoxTop = 3;
// The smallest dialog that still shows its close box and the top of its first group.
constexpr int kMinDialogWidth = 100;
constexpr int kMinDialogHeight = 50;

// The settings dialog's painted frame, kept for the next opening as well: each opening has
// the same size, title and band, and painting the frame costs more than the rest of a paint.
// Destroyed when the module is unloaded.
CSkinFrameCache g_settingsFrame;

}  // namespace

// ---------------------------------------------------------------------------------------
// Construction and layout

CSettingDlg::CSettingDlg(HWND parent)
    : ui::Dialog(IDD_SETTING), m_hParent(parent), m_pIniFile(new (std::nothrow) CIniFile()) {}

CSettingDlg::~CSettingDlg() {
    // A worker may still be finishing its last lines after posting the close request.
    m_worker.Join();
}

void CSettingDlg::BindControls() {
    m_stcCycleUnit.Attach(Item(IDC_STATIC_EV_MIN));
    m_cmbCycle.Attach(Item(IDC_COMBO_EV_CYCLE));
    m_chkCycle.Attach(Item(IDC_CHECK_EV_CYCLE));
    m_btnApply.Attach(Item(IDC_BTN_APPLY));
    m_chkPassword.Attach(Item(IDC_PASSWORD));
    m_stcToTheLatest.Attach(Item(IDC_STATIC_TOTHELATEST));
    m_cmbRestoreChoice.Attach(Item(IDC_COMBO_AR));
    m_chkRestore.Attach(Item(IDC_CHECK_AR));
    m_frmSecurity.SubclassDlgItem(IDC_SEC_FRAME, hwnd_);
    m_frmRestore.SubclassDlgItem(IDC_AR_FRAME, hwnd_);
    m_stcUsage.Attach(Item(IDC_STATIC_SZ_SHOW));
    m_lnkResize.SubclassDlgItem(IDC_STATIC_RESIZE, hwnd_);
    m_chkProtect.Attach(Item(IDC_CHECK_PROTECT));
    m_cmbSchedule.Attach(Item(IDC_COMBO_SCHEDULE));
    m_stcScheduleTitle.Attach(Item(IDC_STATIC_SC_TITLE));
    m_stcNotifyTitle.Attach(Item(IDC_STATIC_NT_TITLE));
    m_stcScheduleUnit.Attach(Item(IDC_STATIC_SC_MINUTES));
    m_chkTray.Attach(Item(IDC_CHECK_TRAYICON));
    m_chkToaster.Attach(Item(IDC_CHECK_TOASTER));
    m_chkSchedule.Attach(Item(IDC_CHECK_SCHEDULE));
    m_chkSysFolder.Attach(Item(IDC_CHECK_EV_SYSFOLDER));
    m_chkNewProgram.Attach(Item(IDC_CHECK_EV_NEWPROGRAM));
    m_btnOk.SubclassDlgItem(IDC_BTN_OK, hwnd_);
    m_frmNotify.SubclassDlgItem(IDC_NOTI_FRAME, hwnd_);
    m_frmSchedule.SubclassDlgItem(IDC_SCHEDULE_FRAME, hwnd_);
    m_frmProtectedArea.SubclassDlgItem(IDC_VP_FRAME, hwnd_);
}

BOOL CSettingDlg::OnInitDialog() {
    BindControls();
    try {
        LayOut();
    } catch (...) {
        // The dialog still opens, with the template's texts for whatever was not yet set.
        LOG_CAUGHT_EXCEPTION();
    }
    m_btnApply.Enable(false);
    return TRUE;
}

void CSettingDlg::TextAndPlace(HWND control, const config::Key& text, const config::Key& position) {
    m_pIniFile->ApplyText(control, text);
    m_pIniFile->ApplyPosition(control, position);
}

void CSettingDlg::Place(HWND control, const config::Key& position) {
    m_pIniFile->ApplyPosition(control, position);
}

void CSettingDlg::LayOut() {
    if (!m_pIniFile) throw CExceptionWrapper(__LINE__, WFILE, L"iniFile Object is null");
    const std::wstring dir = HostDirectory();
    if (dir.empty()) ReportUnusableHostFolder();  // the dialog keeps its built-in texts
    LoadSkinBackgrounds(dir.empty() ? nullptr : dir.c_str());
    m_pIniFile->SetPath(HostFilePath(L"\\Setting.ini"));
    if (!dir.empty()) CheckConfigFile(HostFilePath(L"\\Setting.ini"));
    if (!dir.empty() && m_frmNotify.BitmapPath().empty()) {
        // Also to the debugger output: a log in a folder as deep cannot be written either.
        constexpr wchar_t kRefused[] =
            L"the skin folder under %s is too long for the group frames' bitmap; the frames are "
            L"not drawn";
        LogTrace(__LINE__, WFILE, kRefused, dir.c_str());
        DebugTrace(kRefused, dir.c_str());
    }
    m_strCloseBoxImagePath = dir + m_pIniFile->String(config::kCloseBoxImage);

    Place(m_stcUsage.Handle(), config::kUsagePos);

    m_lnkResize.SetTextColor(RGB(0, 0, 255), TRUE);
    m_lnkResize.SetFont(L"Segoe UI", 8, 0, TRUE, TRUE);
    m_lnkResize.SetHandCursor(TRUE);
    TextAndPlace(m_lnkResize.Handle(), config::kResizeLinkText, config::kResizeLinkPos);
    m_lnkResize.SetBkColor(RGB(255, 255, 255), TRUE);

    TextAndPlace(m_chkProtect.Handle(), config::kProtectText, config::kProtectPos);
    TextAndPlace(m_stcScheduleTitle.Handle(), config::kScheduleTitleText,
                 config::kScheduleTitlePos);
    TextAndPlace(m_chkSchedule.Handle(), config::kScheduleText, config::kSchedulePos);
    Place(m_cmbSchedule.Handle(), config::kScheduleListPos);
    TextAndPlace(m_stcScheduleUnit.Handle(), config::kScheduleUnitText, config::kScheduleUnitPos);
    TextAndPlace(m_chkSysFolder.Handle(), config::kSystemFolderText, config::kSystemFolderPos);
    TextAndPlace(m_chkNewProgram.Handle(), config::kNewProgramText, config::kNewProgramPos);
    TextAndPlace(m_chkCycle.Handle(), config::kCycleText, config::kCyclePos);
    Place(m_cmbCycle.Handle(), config::kCycleListPos);
    TextAndPlace(m_stcCycleUnit.Handle(), config::kCycleUnitText, config::kCycleUnitPos);
    TextAndPlace(m_chkRestore.Handle(), config::kRestoreText, config::kRestorePos);
    TextAndPlace(m_stcToTheLatest.Handle(), config::kToTheLatestText, config::kToTheLatestPos);
    Place(m_cmbRestoreChoice.Handle(), config::kRestoreListPos);

    m_cmbRestoreChoice.AddString(m_pIniFile->String(config::kRestoreChoice1));
    m_cmbRestoreChoice.AddString(m_pIniFile->String(config::kRestoreChoice2));
    m_cmbRestoreChoice.SetCurSel(0);

    TextAndPlace(m_stcNotifyTitle.Handle(), config::kNotifyTitleText, config::kNotifyTitlePos);
    TextAndPlace(m_chkTray.Handle(), config::kTrayText, config::kTrayPos);
    TextAndPlace(m_chkToaster.Handle(), config::kToasterText, config::kToasterPos);
    TextAndPlace(m_chkPassword.Handle(), config::kPasswordText, config::kPasswordPos);

    TextAndPlace(m_btnOk.Handle(), config::kOkText, config::kOkPos);
    const std::wstring caption = m_pIniFile->String(config::kOkText);
    const std::wstring normal = dir + m_pIniFile->String(config::kOkImage);
    const std::wstring hover = dir + m_pIniFile->String(config::kOkHoverImage);
    m_btnOk.SetParam(normal.c_str(), hover.c_str(), nullptr, caption.c_str());
    Place(m_btnOk.Handle(), config::kOkPos);

    TextAndPlace(m_btnApply.Handle(), config::kApplyText, config::kApplyPos);

    TextAndPlace(m_frmProtectedArea.Handle(), config::kAreaFrameText, config::kAreaFramePos);
    TextAndPlace(m_frmSchedule.Handle(), config::kScheduleFrameText, config::kScheduleFramePos);
    TextAndPlace(m_frmRestore.Handle(), config::kRestoreFrameText, config::kRestoreFramePos);
    TextAndPlace(m_frmNotify.Handle(), config::kNotifyFrameText, config::kNotifyFramePos);
    TextAndPlace(m_frmSecurity.Handle(), config::kSecurityFrameText, config::kSecurityFramePos);
    for (CMyGroupBox* frame :
         {&m_frmNotify, &m_frmSchedule, &m_frmRestore, &m_frmSecurity, &m_frmProtectedArea}) {
        frame->SetFont(L"Segoe UI", 10, 1, FALSE, TRUE);
    }

    LoadSettings();  // catches and logs its own failures

    PlaceDialog();
    CenterOnOwner();

    const RECT client = ClientRect();
    m_rcCloseBox = {client.right - kCloseBoxSize, kCloseBoxTop, client.right,
                    kCloseBoxTop + kCloseBoxSize};
}

// The dialog's own rectangle ("SET_FRAME"). A size that could not be seen, or larger than
// every screen together (its close box out of reach), is refused and the template's size
// kept; a hide flag is ignored: a hidden modal dialog would block the host with nothing to
// close. Either is logged.
void CSettingDlg::PlaceDialog() {
    std::wstring value;
    if (!m_pIniFile->ReadString(config::kDialogPos, value)) return;
    const text::Position place = text::ParsePosition(value);
    const bool usable = place.width >= kMinDialogWidth && place.height >= kMinDialogHeight &&
                        place.width <= ::GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
                        place.height <= ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (!usable || place.hide) {
        LogTrace(__LINE__, WFILE, L"SET_FRAME \"%.64s\" gives %s (%d x %d); the dialog keeps %s",
                 value.c_str(), usable ? L"a hidden dialog" : L"no usable size", place.width,
                 place.height, usable ? L"its size and is shown" : L"its built-in size");
    }
    if (usable) ::MoveWindow(hwnd_, place.x, place.y, place.width, place.height, TRUE);
}

// ---------------------------------------------------------------------------------------
// Frame: background, close box, dragging, keys

LRESULT CSettingDlg::OnEraseBkgnd(WPARAM wParam, LPARAM, bool& handled) {
    if (g_settingsFrame.Paint(hwnd_, reinterpret_cast<HDC>(wParam)) != 0) handled = false;
    return TRUE;
}

LRESULT CSettingDlg::OnCtlColor(WPARAM wParam, LPARAM, bool&) {
    return SkinControlColor(reinterpret_cast<HDC>(wParam));
}

LRESULT CSettingDlg::OnPaint(WPARAM, LPARAM, bool&) {
    ui::PaintDc paint(hwnd_);
    try {
        PaintCloseBox(paint.Get());
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    return 0;
}

// Draws the close-box picture (cell x 20..49, y 0..24 of the image) at the right end of the
// title band, with white as the transparent colour.
void CSettingDlg::PaintCloseBox(HDC dc) {
    const RECT client = ClientRect();
    const int width = client.right - client.left;
    ui::UniqueDc memory(::CreateCompatibleDC(nullptr));
    if (!memory) RAISE_ERROR(ERROR_NOT_ENOUGH_MEMORY);
    ui::UniqueBitmap bitmap(::CreateCompatibleBitmap(dc, m_rcCloseBox.right, m_rcCloseBox.bottom));
    if (!bitmap) RAISE_ERROR(ERROR_NOT_ENOUGH_MEMORY);
    ui::SelectGuard selected(memory.get(), bitmap.get());

    // Decoded once per opening: the picture is the same at every paint.
    if (!m_closeBoxImageLoaded) {
        m_closeBoxImage = LoadSkinImage(m_strCloseBoxImagePath);
        m_closeBoxImageLoaded = true;
    }
    if (!m_closeBoxImage) RAISE_ERROR(ERROR_NOT_ENOUGH_MEMORY);
    {
        Gdiplus::Graphics graphics(memory.get());
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        graphics.FillRectangle(&white, 0, 0, m_rcCloseBox.right, m_rcCloseBox.bottom);
        graphics.DrawImage(m_closeBoxImage.get(), Gdiplus::Rect(0, 0, 30, 25), 20, 0, 30, 25,
                           Gdiplus::UnitPixel, nullptr);
    }
    ::TransparentBlt(dc, width - 35, 1, kCloseBoxSize, kCloseBoxSize, memory.get(), 0, 0,
                     kCloseBoxSize, kCloseBoxSize, RGB(255, 255, 255));
}

bool CSettingDlg::InCloseBox(LPARAM lParam) const {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::PtInRect(&m_rcCloseBox, point) != FALSE;
}

LRESULT CSettingDlg::OnLButtonDown(WPARAM, LPARAM lParam, bool& handled) {
    if (InCloseBox(lParam)) return 0;
    if (GET_Y_LPARAM(lParam) > kCaptionBand) return 0;  // ignored, no default handling
    StartCaptionDrag(lParam);
    handled = false;
    return 0;
}

LRESULT CSettingDlg::OnLButtonUp(WPARAM, LPARAM lParam, bool& handled) {
    // The close box ends the dialog without saving; saving is only done by OK.
    if (InCloseBox(lParam)) EndDialog(IDOK);
    handled = false;
    return 0;
}

bool CSettingDlg::PreTranslateMessage(MSG& msg) {
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool alt = (::GetKeyState(VK_MENU) & 0x8000) != 0;
    const WPARAM key = msg.wParam;
    switch (msg.message) {
        case WM_KEYDOWN:
            if ((key >= VK_F1 && key <= VK_F24) || key == VK_RETURN || key == VK_ESCAPE ||
                key == VK_PAUSE || key == VK_CANCEL) {
                return true;
            }
            if (ctrl && key != VK_CONTROL &&
                (key == VK_UP || key == VK_DOWN ||
                 std::wstring(L"ABDEFHILMNOPRSW").find(static_cast<wchar_t>(key)) !=
                     std::wstring::npos)) {
                return true;
            }
            if (shift && !ctrl && key == VK_SPACE) return true;
            break;
        case WM_MOUSEWHEEL:
            if (ctrl || shift) return true;
            break;
        case WM_SYSKEYDOWN:
            if (key == VK_F10) return true;
            if (alt && (key == VK_END || key == VK_HOME || key == VK_LEFT || key == VK_RIGHT ||
                        key == 'A' || key == 'D' || key == VK_F4)) {
                return true;
            }
            break;
        case WM_LBUTTONDOWN:
            if (shift) return true;
            break;
        default:
            break;
    }
    return ui::Dialog::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------------------------------
// Waiting box

LRESULT CSettingDlg::OnShowWaiting(WPARAM wParam, LPARAM, bool&) {
    m_dlgWaiting.SetMode(static_cast<int>(wParam));
    // Modal over this dialog: nothing here can be clicked while the engine works.
    m_dlgWaiting.DoModal(hwnd_);
    ShowPendingFailure();
    return 1;
}

LRESULT CSettingDlg::OnCloseWaiting(WPARAM, LPARAM, bool&) {
    // Closed at once, so that whatever the worker posted next is handled after the box
    // is gone.
    m_dlgWaiting.Close();
    return 1;
}
