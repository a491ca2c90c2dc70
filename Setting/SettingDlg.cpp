#include "SettingDlg.h"

#include <windowsx.h>

#include <cstring>
#include <new>

#include "ExceptionWrapper.h"
#include "HostPath.h"
#include "Marrowick.h"
#include "MsgDlg.h"
#include "Pellucid.h"
#include "Process.h"
#include "SetPassDlg.h"
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

// A period list longer than this is not a list a person wrote; the rest is ignored.
constexpr int kMaxPeriodEntries = 100;

constexpr DWORD kScheduleFirstEntryMinutes = 15;
constexpr DWORD kCycleFirstEntryMinutes = 30;

constexpr wchar_t kTrayEventName[] = L"Global\\{BA459B91-7EA8-4dfd-862E-9E5FEDA168FB}";

// An engine result other than 0 is raised with its own value as the code.
void Check(DWORD result, int line) {
    if (result != 0) throw CExceptionWrapper(static_cast<int>(result), line, WFILE);
}
#define CHECK_ENGINE(call) Check((call), __LINE__)

// Minutes for a period list entry, as the engine stores them: entry 0 stands for
// `firstEntryHours`, any other entry for the hours its text starts with.
DWORD PeriodMinutes(CIniFile& ini, const config::Key& list, int index, float firstEntryHours,
                    float& hours) {
    int value = 0;
    if (index == 0) {
        hours = firstEntryHours;
    } else {
        ini.ReadEntry(list, index, value);
        hours = static_cast<float>(value);
    }
    // Truncated as the engine expects; out-of-range values wrap instead of being undefined.
    return static_cast<DWORD>(static_cast<int64_t>(hours * 60.0f));
}

template <class Record>
std::unique_ptr<Record> NewRecord() {
    return std::make_unique<Record>();  // zero-filled; an allocation failure is raised as 8
}

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
// Loading the engine's settings

void CSettingDlg::LoadSettings() {
    try {
        auto info = NewRecord<PRODUCT_INFO>();
        CHECK_ENGINE(::GetProductInfo(info.get(), PRODUCT_INFO_SIZE));
        const std::wstring productName(
            info->szProductName, wcsnlen(info->szProductName, std::size(info->szProductName) - 1));

        if (!m_pIniFile) throw CExceptionWrapper(__LINE__, WFILE, L"iniFile Pointer is NULL");

        m_strProductName = productName;
        m_strTitle = text::ReplaceAll(m_pIniFile->String(config::kTitle), L"[PRODUCTNAME]",
                                      m_strProductName);
        SetText(m_strTitle);

        ShowUsage();

        DWORD protect = 0;
        CHECK_ENGINE(::GetProtectState(&protect));
        m_chkProtect.SetCheck(protect != 0);

        auto setting = NewRecord<SNAPSHOT_SETTING>();
        setting->cbSize = SNAPSHOT_SETTING_SIZE;
        CHECK_ENGINE(::GetSnapshotSetting(setting.get(), SNAPSHOT_SETTING_SIZE));
        m_chkToaster.SetCheck(setting->AutoCreate.bSuppressToaster == 0);
        m_chkTray.SetCheck(setting->bShowTrayIcon != 0);
        m_cmbRestoreChoice.SetCurSel(setting->dwRestoreChoice != 0 ? 0 : 1);
        m_chkRestore.SetCheck(setting->bAutoRestore != 0);
        if (setting->bAutoRestore == 0) m_cmbRestoreChoice.SetCurSel(0);

        if (protect == 0) {
            m_chkRestore.Enable(false);
            m_cmbRestoreChoice.Enable(false);
            m_stcToTheLatest.Enable(false);
        }

        char password[PASSWORD_BUFFER_SIZE] = {};
        if (::GetCvxPassWord(password) == 0) m_chkPassword.SetCheck(password[0] != '\0');

        int count = 0;
        m_pIniFile->ReadInt(config::kPeriodCount, count);
        if (count > kMaxPeriodEntries) {
            LogTrace(__LINE__, WFILE, L"TIMELIST COUNT %d is more than %d; the rest is ignored",
                     count, kMaxPeriodEntries);
            count = kMaxPeriodEntries;
        }

        const AUTO_CREATE_SETTING& schedule = setting->AutoCreate;
        FillPeriodList(m_cmbSchedule, config::kSchedulePeriods, count, schedule.dwCycleMinutes,
                       kScheduleFirstEntryMinutes, true, schedule.bEnable);
        m_chkSchedule.SetCheck(schedule.bEnable != 0);
        m_cmbSchedule.Enable(schedule.bEnable != 0);

        auto events = NewRecord<EVENT_MONITOR_SETTING>();
        events->cbSize = EVENT_MONITOR_SETTING_SIZE;
        CHECK_ENGINE(::GetEventMonitorSetting(events.get(), EVENT_MONITOR_SETTING_SIZE));
        m_chkSysFolder.SetCheck((events->wFlags & EVENT_FLAG_PROTECT_SYSTEM_FOLDER) != 0);
        m_chkNewProgram.SetCheck((events->wFlags & EVENT_FLAG_SNAPSHOT_ON_INSTALL) != 0);

        FillPeriodList(m_cmbCycle, config::kCyclePeriods, count, events->wCycleMinutes,
                       kCycleFirstEntryMinutes, false, 0);

        ApplyCycleRule();
        ApplyRestoreRule();
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
}

void CSettingDlg::ShowUsage() {
    auto usage = NewRecord<SPACE_USAGE>();
    CHECK_ENGINE(::GetSpaceUsage(usage.get(), SPACE_USAGE_SIZE));
    const std::wstring used = text::FormatMegaUnits(usage->dwTotal - usage->dwFree);
    const std::wstring total = text::FormatMegaUnits(usage->dwTotal);
    std::wstring line = m_pIniFile->String(config::kUsageText);
    line = text::ReplaceAll(std::move(line), L"[USED]", used);
    line = text::ReplaceAll(std::move(line), L"[TOTAL]", total);
    m_stcUsage.SetText(line);
}

// Builds a period list from "TIME_0" ... of `section` and selects the entry whose hours make
// `minutes`; `firstEntryMinutes` always selects entry 0.
void CSettingDlg::FillPeriodList(ui::ComboBox& list, const config::Key& periods, int count,
                                 DWORD minutes, DWORD firstEntryMinutes, bool trace,
                                 DWORD scheduleEnabled) {
    for (int i = 0; i < count; ++i) {
        std::wstring entry;
        int hours = 0;
        m_pIniFile->ReadEntry(periods, i, entry);
        m_pIniFile->ReadEntry(periods, i, hours);
        if (trace) DebugTrace(L"iValue:%d, dwCycleMinutes:%d", hours, minutes);
        list.AddString(entry);
        if (static_cast<int64_t>(hours) * 60 == static_cast<int64_t>(minutes)) {
            const int result = list.SetCurSel(i);
            if (trace) {
                DebugTrace(L"setcursel:%d, ret:%d, lpSetting->AutoCreate.bEnable:%d", i, result,
                           scheduleEnabled);
            }
        }
        if (minutes == firstEntryMinutes) list.SetCurSel(0);
    }
}

// The cycle box is never enabled by the user: the event options decide it.
void CSettingDlg::ApplyCycleRule() {
    const bool eventWatch = m_chkNewProgram.IsChecked() || m_chkSysFolder.IsChecked();
    m_chkCycle.SetCheck(eventWatch);
    m_chkCycle.Enable(false);
    m_cmbCycle.Enable(eventWatch);
    m_stcCycleUnit.Enable(eventWatch);
}

// With restore at start-up on, the snapshot options are greyed (their values stay).
void CSettingDlg::ApplyRestoreRule() {
    if (!m_chkRestore.IsChecked()) return;
    for (const ui::Window* control : std::initializer_list<const ui::Window*>{
             &m_chkSchedule, &m_cmbSchedule, &m_stcScheduleUnit, &m_chkSysFolder, &m_chkNewProgram,
             &m_chkCycle, &m_cmbCycle, &m_stcCycleUnit}) {
        control->Enable(false);
    }
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

// ---------------------------------------------------------------------------------------
// Saving

SaveChoices CSettingDlg::ReadChoices() const {
    SaveChoices choices;
    choices.schedule = m_chkSchedule.IsChecked();
    choices.scheduleIndex = m_cmbSchedule.GetCurSel();
    choices.toaster = m_chkToaster.IsChecked();
    choices.tray = m_chkTray.IsChecked();
    choices.restore = m_chkRestore.IsChecked();
    choices.restoreChoiceIndex = m_cmbRestoreChoice.GetCurSel();
    choices.cycle = m_chkCycle.IsChecked();
    choices.cycleIndex = m_cmbCycle.GetCurSel();
    choices.systemFolder = m_chkSysFolder.IsChecked();
    choices.newProgram = m_chkNewProgram.IsChecked();
    return choices;
}

namespace {

struct SaveJob {
    HWND dialog;
    DWORD requester;
    const CSettingDlg* owner;  // for ApplyTraySetting; lives until the worker is joined
    SaveChoices choices;
};

void SaveSchedule(CIniFile& ini, const SaveChoices& c, AUTO_CREATE_SETTING& schedule) {
    if (!c.schedule) {
        schedule.dwCycleMinutes = 0;
        schedule.bEnable = 0;
        return;
    }
    float hours = 0.0f;
    schedule.dwCycleMinutes =
        PeriodMinutes(ini, config::kSchedulePeriods, c.scheduleIndex, 0.25f, hours);
    DebugTrace(
        L"save dwCycleMinutes:%f, iValue:%f, strTemp:%s, lpSetting->AutoCreate.dwCycleMinutes:%d",
        static_cast<double>(hours * 60.0f), static_cast<double>(hours),
        config::kSchedulePeriods.EntryName(c.scheduleIndex).c_str(), schedule.dwCycleMinutes);
    schedule.bEnable = 1;
}

// The save itself, on the worker thread. The dialog thread sits in the waiting box meanwhile.
void SaveSettings(const SaveJob& job, CIniFile& ini) {
    const SaveChoices& c = job.choices;
    DWORD protect = 0;
    CHECK_ENGINE(::GetProtectState(&protect));  // only a failure matters

    auto setting = NewRecord<SNAPSHOT_SETTING>();
    setting->cbSize = SNAPSHOT_SETTING_SIZE;
    CHECK_ENGINE(::GetSnapshotSetting(setting.get(), SNAPSHOT_SETTING_SIZE));

    SaveSchedule(ini, c, setting->AutoCreate);
    setting->AutoCreate.bSuppressToaster = c.toaster ? 0 : 1;
    setting->bShowTrayIcon = c.tray ? 1 : 0;
    if (c.restore) {
        setting->bAutoRestore = 1;
        const DWORD result = SetRestore(c.restoreChoiceIndex, job.requester);
        DebugTrace(L"SetRestore result: %d, line:%d, file:%s", result, __LINE__, WFILE);
    } else {
        setting->bAutoRestore = 0;
        ::EnableWindow(::GetDlgItem(job.dialog, IDC_COMBO_AR), FALSE);
        const DWORD result = DelRestore();
        DebugTrace(L"DelRestore result: %d, line:%d, file:%s", result, __LINE__, WFILE);
    }
    setting->dwRestoreChoice = c.restoreChoiceIndex == 0 ? 1 : 0;
    job.owner->ApplyTraySetting(c.tray, &ini);
    CHECK_ENGINE(::SetSnapshotSetting(setting.get(), SNAPSHOT_SETTING_SIZE));

    auto events = NewRecord<EVENT_MONITOR_SETTING>();
    events->cbSize = EVENT_MONITOR_SETTING_SIZE;
    if (c.cycle) {
        float hours = 0.0f;
        events->wCycleMinutes =
            static_cast<WORD>(PeriodMinutes(ini, config::kCyclePeriods, c.cycleIndex, 0.5f, hours));
    }
    events->wFlags = (c.systemFolder ? EVENT_FLAG_PROTECT_SYSTEM_FOLDER : 0) |
                     (c.newProgram ? EVENT_FLAG_SNAPSHOT_ON_INSTALL : 0);
    const DWORD result = ::SetEventMonitorSetting(events.get(), EVENT_MONITOR_SETTING_SIZE);
    DebugTrace(L"Dunmore:SetEventMonitorSetting ret:%d", result);
    CHECK_ENGINE(result);
}

DWORD SaveWorker(const SaveJob& job) {
    DebugTrace(L" lpWnd:0x%08x", job.requester);
    ::PostMessageW(job.dialog, WM_SHOWWAITING, CDlgWaiting::kSaving, 0);
    try {
        // The worker reads the period values through a reader of its own.
        CIniFile ini;
        ini.SetPath(HostFilePath(L"\\Setting.ini"));
        SaveSettings(job, ini);
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
    SaveJob job{hwnd_, RequesterId(this), this, ReadChoices()};
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
    if (StartSave()) m_btnApply.Enable(false);
}

int CSettingDlg::ApplyTraySetting(bool trayOn, CIniFile* ini) const {
    const std::wstring folder = HostDirectory();
    if (!ini) return -1;
    const std::wstring name =
        text::ReplaceAll(ini->String(config::kTrayName), L"[PRODUCTNAME]", m_strProductName);
    const std::wstring image = ini->String(config::kTrayImage);
    if (name.empty() || image.empty()) return -2;
    const std::wstring program = folder + image;
    if (trayOn) {
        RunProgram(program, L"", folder, true, false);
        ::RegisterTray(name.c_str(), program.c_str(), folder.c_str());
    } else {
        if (HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, kTrayEventName)) {
            ::SetEvent(event);
            ::CloseHandle(event);
        }
        ::UnregisterTray(name.c_str());
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// Option rules

void CSettingDlg::EnableApply() {
    m_btnApply.Enable(true);
}

// Rule S: the schedule box enables its list; checking it clears restore at start-up.
void CSettingDlg::OnScheduleClicked() {
    if (m_chkSchedule.IsChecked()) {
        m_cmbSchedule.Enable(true);
        m_chkRestore.SetCheck(false);
    } else {
        m_cmbSchedule.Enable(false);
    }
    m_btnApply.Enable(true);
    ::InvalidateRect(m_btnApply.Handle(), nullptr, FALSE);
}

// Rule E: an event option turns the cycle on (greyed) and clears restore at start-up.
void CSettingDlg::OnEventOptionClicked() {
    m_btnApply.Enable(true);
    if (!m_chkNewProgram.IsChecked() && !m_chkSysFolder.IsChecked()) {
        m_chkCycle.SetCheck(false);
        m_chkCycle.Enable(false);
        m_chkCycle.SetCheck(false);
        m_cmbCycle.Enable(false);
        m_stcCycleUnit.Enable(false);
    } else {
        m_chkCycle.SetCheck(true);
        m_chkCycle.Enable(false);
        m_chkCycle.SetCheck(true);
        m_cmbCycle.Enable(true);
        m_stcCycleUnit.Enable(true);
        m_chkRestore.SetCheck(false);
    }
}

// Rule A: restore at start-up excludes every snapshot option; clearing it turns them all on.
void CSettingDlg::OnRestoreClicked() {
    if (m_chkRestore.IsChecked()) {
        m_chkSchedule.SetCheck(false);
        m_chkSchedule.Enable(false);
        m_stcScheduleUnit.Enable(false);
        m_cmbSchedule.Enable(false);
        m_chkSysFolder.SetCheck(false);
        m_chkSysFolder.Enable(false);
        m_chkNewProgram.SetCheck(false);
        m_chkNewProgram.Enable(false);
        m_chkCycle.SetCheck(false);
        m_chkCycle.Enable(false);
        m_cmbCycle.Enable(false);
        m_stcCycleUnit.Enable(false);
    } else {
        m_chkSchedule.Enable(true);
        m_stcScheduleUnit.Enable(true);
        m_cmbSchedule.Enable(true);
        m_chkSysFolder.Enable(true);
        m_chkNewProgram.Enable(true);
        m_chkCycle.Enable(false);
        m_chkSchedule.SetCheck(true);
        m_chkSysFolder.SetCheck(true);
        m_chkNewProgram.SetCheck(true);
        m_chkCycle.SetCheck(true);
        m_cmbCycle.Enable(true);
        m_stcCycleUnit.Enable(true);
    }
}

// ---------------------------------------------------------------------------------------
// Protection switch

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
    if (WorkerBusy()) {
        // A click that arrived while the previous switch still runs is undone.
        m_chkProtect.SetCheck(state != BST_CHECKED);
        return;
    }
    HWND dialog = hwnd_;
    if (state == BST_CHECKED) {
        if (!m_worker.Start([dialog] { return EnableProtectWorker(dialog, kProtectFailed); })) {
            CExceptionWrapper(ERROR_NOT_ENOUGH_MEMORY, __LINE__, WFILE)
                .WriteLog(CExceptionWrapper::kToLogFile);
            return;
        }
        m_chkRestore.Enable(true);
        m_cmbRestoreChoice.Enable(true);
        m_stcToTheLatest.Enable(true);
        return;
    }
    const std::wstring question = m_pIniFile->String(config::kDisableQuestion);
    if (::MessageBoxW(hwnd_, question.c_str(), m_strTitle.c_str(), MB_OKCANCEL) != IDOK) {
        m_chkProtect.SetCheck(true);
        return;
    }
    if (!m_worker.Start([dialog] { return DisableProtectWorker(dialog, kProtectFailed); })) {
        CExceptionWrapper(ERROR_NOT_ENOUGH_MEMORY, __LINE__, WFILE)
            .WriteLog(CExceptionWrapper::kToLogFile);
        return;
    }
    m_chkRestore.Enable(false);
    m_cmbRestoreChoice.Enable(false);
    m_stcToTheLatest.Enable(false);
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
        CMsgDlg box(CMsgDlg::kError, message, hwnd_);
        box.SetMessage(CMsgDlg::kError, message);
        box.Run();
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    CExceptionWrapper(code, __LINE__, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
}

// ---------------------------------------------------------------------------------------
// Resizing the protected area

void CSettingDlg::OnResize() {
    if (!m_pIniFile) return;
    bool hidden = false;
    try {
        const std::wstring question = m_pIniFile->String(config::kResizeQuestion);
        auto confirm = std::make_unique<CMsgDlg>(CMsgDlg::kWarning, question, hwnd_);
        confirm->SetMessage(CMsgDlg::kWarning, question);
        if (confirm->Run() != CMsgDlg::kYesOrOk) return;

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
        if (started != 0)
            CExceptionWrapper(static_cast<int>(started), __LINE__, WFILE)
                .WriteLog(CExceptionWrapper::kToLogFile);

        wchar_t flag[260] = {};
        ReadRegString(HKEY_CLASSES_ROOT, L"Merrowfield", L"InitNvOk", flag, sizeof flag);
        if (!text::SaysTrue(flag, std::size(flag))) {
            const std::wstring failure = m_pIniFile->String(config::kResizeFailure);
            CMsgDlg error(CMsgDlg::kError, failure, hwnd_);
            error.SetMessage(CMsgDlg::kError, failure);
            error.Run();
        }
        // Back to the user, with the new size of the area.
        ShowUsage();
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    if (hidden) {
        Show(SW_SHOW);
        ::SetForegroundWindow(hwnd_);
    }
}

// ---------------------------------------------------------------------------------------
// Password

void CSettingDlg::OnPasswordClicked() {
    if (m_chkPassword.IsChecked()) {
        try {
            auto dialog = std::make_unique<CSetPassDlg>(hwnd_);
            if (dialog->DoModal(hwnd_) != IDOK) m_chkPassword.SetCheck(false);
        } catch (...) {
            LOG_CAUGHT_EXCEPTION();
            m_chkPassword.SetCheck(false);
        }
        return;
    }
    const std::wstring question = m_pIniFile->String(config::kPasswordOffQuestion);
    const std::wstring caption = m_pIniFile->String(config::kMessageCaption);
    if (::MessageBoxW(hwnd_, question.c_str(), caption.c_str(), MB_OKCANCEL) != IDOK) {
        m_chkPassword.SetCheck(true);
        return;
    }
    const DWORD result = ::SetCvxPassWord("");
    CExceptionWrapper(0, nullptr, L"SetCvxPassWord ret:%d", result)
        .WriteLog(CExceptionWrapper::kToLogFile);
}

// ---------------------------------------------------------------------------------------
// Restore at start-up and the recovery boot entry

namespace {

void FillBootEntryRequest(BOOT_ENTRY_REQUEST& request, DWORD action) {
    std::memset(&request, 0, sizeof request);
    request.bType = 2;
    request.bFlags = 0x20;
    request.bVersion = 3;
    request.dwAction = action;
    std::memcpy(request.szTitle, BOOT_ENTRY_TITLE, sizeof BOOT_ENTRY_TITLE);
}

}  // namespace

DWORD RequesterId(const void* dialog) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(dialog));
}

DWORD SetPEBoot(DWORD action) {
    BOOT_ENTRY_REQUEST request;
    std::memset(&request, 0, sizeof request);
    DebugTrace(L"begin Set PE boot.....");
    FillBootEntryRequest(request, action);
    return ::SetBootEntry(&request);
}

DWORD DelRestore() {
    ::ClearBootRestore();
    BOOT_ENTRY_REQUEST request;
    FillBootEntryRequest(request, 1);
    ::SetBootEntry(&request);
    FillBootEntryRequest(request, 0);
    return ::SetBootEntry(&request);
}

DWORD SetRestore(int choiceIndex, DWORD requester) {
    DWORD count = 0;
    const DWORD result = ::GetSnapshotCount(&count);
    if (result != 0 && count != 0) {
        CExceptionWrapper(static_cast<int>(result), __LINE__, WFILE)
            .WriteLog(CExceptionWrapper::kToLogFile);
        return result;
    }
    std::unique_ptr<BOOT_RESTORE_REQUEST> request(new (std::nothrow) BOOT_RESTORE_REQUEST());
    if (!request) {
        const DWORD code = ::GetLastError();
        CExceptionWrapper(static_cast<int>(code), __LINE__, WFILE)
            .WriteLog(CExceptionWrapper::kToLogFile);
        return code;
    }
    request->cbSize = BOOT_RESTORE_REQUEST_SIZE;
    request->dwSnapshotIndex = count - 1;  // the latest; 0xFFFFFFFF when there is none
    request->dwChoice = choiceIndex == 1 ? 0 : 1;
    request->dwReserved16 = 0;
    request->dwReserved298 = 0;
    request->dwRequester = requester;
    return ::SetBootRestore(request.get());
}
