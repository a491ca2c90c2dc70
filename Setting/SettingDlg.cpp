// The settings dialog: construction, layout from Setting.ini, and its frame (background,
// close box, drag band, swallowed keys, the waiting box it shows for its workers).
#include "SettingDlg.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <new>

#include "Dpi.h"
#include "ExceptionWrapper.h"
#include "FileStamp.h"
#include "FocusCue.h"
#include "HighContrast.h"
#include "HostPath.h"
#include "KeyFilter.h"
#include "SkinFrame.h"
#include "SkinGeometry.h"
#include "Text.h"
#include "Trace.h"

namespace {

using skin::kCloseBoxCell;
using skin::kCloseBoxSize;
// The smallest dialog that still shows its close box and the top of its first group.
constexpr int kMinDialogWidth = 100;
constexpr int kMinDialogHeight = 50;

// The settings dialog's painted frame, kept for the next opening as well: each opening has
// the same size, title and band, and painting the frame costs more than the rest of a paint.
// Destroyed when the module is unloaded.
CSkinFrameCache g_settingsFrame;

// Every control the configuration places: its id, the key of its text (null: none) and the key
// of its rectangle.
struct Placement {
    int id;
    const config::Key* text;
    const config::Key& position;
};
const Placement kPlacements[] = {
    {IDC_STATIC_SZ_SHOW, nullptr, config::kUsagePos},
    {IDC_STATIC_RESIZE, &config::kResizeLinkText, config::kResizeLinkPos},
    {IDC_CHECK_PROTECT, &config::kProtectText, config::kProtectPos},
    {IDC_STATIC_SC_TITLE, &config::kScheduleTitleText, config::kScheduleTitlePos},
    {IDC_CHECK_SCHEDULE, &config::kScheduleText, config::kSchedulePos},
    {IDC_COMBO_SCHEDULE, nullptr, config::kScheduleListPos},
    {IDC_STATIC_SC_MINUTES, &config::kScheduleUnitText, config::kScheduleUnitPos},
    {IDC_CHECK_EV_SYSFOLDER, &config::kSystemFolderText, config::kSystemFolderPos},
    {IDC_CHECK_EV_NEWPROGRAM, &config::kNewProgramText, config::kNewProgramPos},
    {IDC_CHECK_EV_CYCLE, &config::kCycleText, config::kCyclePos},
    {IDC_COMBO_EV_CYCLE, nullptr, config::kCycleListPos},
    {IDC_STATIC_EV_MIN, &config::kCycleUnitText, config::kCycleUnitPos},
    {IDC_CHECK_AR, &config::kRestoreText, config::kRestorePos},
    {IDC_STATIC_TOTHELATEST, &config::kToTheLatestText, config::kToTheLatestPos},
    {IDC_COMBO_AR, nullptr, config::kRestoreListPos},
    {IDC_STATIC_NT_TITLE, &config::kNotifyTitleText, config::kNotifyTitlePos},
    {IDC_CHECK_TRAYICON, &config::kTrayText, config::kTrayPos},
    {IDC_CHECK_TOASTER, &config::kToasterText, config::kToasterPos},
    {IDC_PASSWORD, &config::kPasswordText, config::kPasswordPos},
    {IDC_BTN_OK, &config::kOkText, config::kOkPos},
    {IDC_BTN_APPLY, &config::kApplyText, config::kApplyPos},
    {IDC_VP_FRAME, &config::kAreaFrameText, config::kAreaFramePos},
    {IDC_SCHEDULE_FRAME, &config::kScheduleFrameText, config::kScheduleFramePos},
    {IDC_AR_FRAME, &config::kRestoreFrameText, config::kRestoreFramePos},
    {IDC_NOTI_FRAME, &config::kNotifyFrameText, config::kNotifyFramePos},
    {IDC_SEC_FRAME, &config::kSecurityFrameText, config::kSecurityFramePos},
};

// A queued message as the key filter (KeyFilter.h) sees it.
key_filter::Press FilteredPress(const MSG& msg) {
    static_assert(key_filter::kReturn == VK_RETURN && key_filter::kEscape == VK_ESCAPE &&
                      key_filter::kCancel == VK_CANCEL && key_filter::kPause == VK_PAUSE &&
                      key_filter::kSpace == VK_SPACE && key_filter::kControl == VK_CONTROL &&
                      key_filter::kEnd == VK_END && key_filter::kHome == VK_HOME &&
                      key_filter::kLeft == VK_LEFT && key_filter::kRight == VK_RIGHT &&
                      key_filter::kUp == VK_UP && key_filter::kDown == VK_DOWN &&
                      key_filter::kF1 == VK_F1 && key_filter::kF4 == VK_F4 &&
                      key_filter::kF10 == VK_F10 && key_filter::kF24 == VK_F24,
                  "the key filter's codes are the platform's virtual keys");
    using key_filter::Input;
    key_filter::Press press;
    switch (msg.message) {
        case WM_KEYDOWN:
            press.input = Input::KeyDown;
            break;
        case WM_SYSKEYDOWN:
            press.input = Input::SystemKeyDown;
            break;
        case WM_MOUSEWHEEL:
            press.input = Input::MouseWheel;
            break;
        case WM_LBUTTONDOWN:
            press.input = Input::LeftButtonDown;
            break;
        default:
            return press;
    }
    press.key = static_cast<unsigned>(msg.wParam);
    press.ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    press.shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    press.alt = (::GetKeyState(VK_MENU) & 0x8000) != 0;
    return press;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Construction and layout

CSettingDlg::CSettingDlg()
    : ui::Dialog(IDD_SETTING, Controls::ByDialog), m_pIniFile(new (std::nothrow) CIniFile()) {}

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
    m_frmSecurity.SubclassDlgItem(IDC_SEC_FRAME, m_hWnd);
    m_frmRestore.SubclassDlgItem(IDC_AR_FRAME, m_hWnd);
    m_stcUsage.Attach(Item(IDC_STATIC_SZ_SHOW));
    m_lnkResize.SubclassDlgItem(IDC_STATIC_RESIZE, m_hWnd);
    m_chkProtect.Attach(Item(IDC_CHECK_PROTECT));
    m_cmbSchedule.Attach(Item(IDC_COMBO_SCHEDULE));
    m_stcScheduleUnit.Attach(Item(IDC_STATIC_SC_MINUTES));
    m_chkTray.Attach(Item(IDC_CHECK_TRAYICON));
    m_chkToaster.Attach(Item(IDC_CHECK_TOASTER));
    m_chkSchedule.Attach(Item(IDC_CHECK_SCHEDULE));
    m_chkSysFolder.Attach(Item(IDC_CHECK_EV_SYSFOLDER));
    m_chkNewProgram.Attach(Item(IDC_CHECK_EV_NEWPROGRAM));
    m_btnOk.SubclassDlgItem(IDC_BTN_OK, m_hWnd);
    m_frmNotify.SubclassDlgItem(IDC_NOTI_FRAME, m_hWnd);
    m_frmSchedule.SubclassDlgItem(IDC_SCHEDULE_FRAME, m_hWnd);
    m_frmProtectedArea.SubclassDlgItem(IDC_VP_FRAME, m_hWnd);
}

// Setting.ini is found before the controls are made: each is made at its configured place
// with its configured text.
void CSettingDlg::OnCreatingControls() {
    m_dpi = dpi::OfWindow(m_hWnd);
    m_hTemplateFont = Font();
    m_templateFontDpi = m_dpi;
    try {
        if (!m_pIniFile) return;  // reported by LayOut
        const std::wstring path = HostFilePath(L"\\Setting.ini");
        if (path.empty()) ReportUnusableHostFolder();  // the dialog keeps its built-in texts
        m_pIniFile->SetPath(path);
        if (!path.empty()) CheckConfigFile(path);
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
}

void CSettingDlg::PlaceControl(ControlPlace& place) {
    const auto placed = std::find_if(std::begin(kPlacements), std::end(kPlacements),
                                     [&](const Placement& p) { return p.id == place.id; });
    if (placed == std::end(kPlacements) || !m_pIniFile) return;
    try {
        std::wstring value;
        if (placed->text && m_pIniFile->ReadString(*placed->text, value)) place.text = value;
        bool hide = false;
        if (m_pIniFile->ReadPosition(placed->position, m_dpi, place.rect, hide) && hide)
            place.visible = false;
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
}

BOOL CSettingDlg::OnInitDialog() {
    dpi::HandleDpiChangesItself(m_hWnd);
    BindControls();
    try {
        LayOut();
    } catch (...) {
        // The dialog still opens, with the template's texts for whatever was not yet set.
        LOG_CAUGHT_EXCEPTION();
    }
    m_btnApply.Enable(false);  // the model's Apply starts disarmed
    SetUpAccess();
    return TRUE;
}

void CSettingDlg::LayOut() {
    if (!m_pIniFile) throw CExceptionWrapper(__LINE__, WFILE, L"iniFile Object is null");
    const std::wstring dir = HostDirectory();
    if (!dir.empty() && m_frmNotify.BitmapPath().empty()) {
        // Also to the debugger output: a log in a folder as deep cannot be written either.
        constexpr wchar_t kRefused[] =
            L"the skin folder under %s is too long for the group frames' bitmap; the frames are "
            L"not drawn";
        LogTrace(__LINE__, WFILE, kRefused, dir.c_str());
        DebugTrace(kRefused, dir.c_str());
    }
    m_lnkResize.SetTextColor(RGB(0, 0, 255), TRUE);
    m_lnkResize.SetFont(L"Segoe UI", 8, 0, TRUE, TRUE);
    m_lnkResize.SetHandCursor(TRUE);
    m_lnkResize.SetBkColor(RGB(255, 255, 255), TRUE);

    m_options.restoreChoices.entries = {m_pIniFile->String(config::kRestoreChoice1),
                                        m_pIniFile->String(config::kRestoreChoice2)};
    m_options.restoreChoices.selected = 0;
    ShowOptions({}, m_options);
    for (CMyGroupBox* frame : Frames())
        frame->SetFont(L"Segoe UI", skin::kCaptionPoints, 1, FALSE, TRUE);

    LoadSettings();  // catches and logs its own failures

    LoadSkinBackgrounds(dir.empty() ? nullptr : dir.c_str());
    m_strCloseBoxImagePath = dir + m_pIniFile->String(config::kCloseBoxImage);
    NoteCloseBoxSource();
    const std::wstring caption = m_pIniFile->String(config::kOkText);
    const std::wstring normal = dir + m_pIniFile->String(config::kOkImage);
    const std::wstring hover = dir + m_pIniFile->String(config::kOkHoverImage);
    m_btnOk.SetParam(normal.c_str(), hover.c_str(), nullptr, caption.c_str());

    // Sized and centred in one move: each move of a window costs the platform a round trip.
    const std::optional<SIZE> size = DialogSize();
    CenterOnOwner(size ? &*size : nullptr);
    PlaceCloseBox();
}

std::array<CMyGroupBox*, 5> CSettingDlg::Frames() {
    return {&m_frmNotify, &m_frmSchedule, &m_frmRestore, &m_frmSecurity, &m_frmProtectedArea};
}

void CSettingDlg::PlaceControls() {
    for (const Placement& control : kPlacements)
        m_pIniFile->ApplyPosition(Item(control.id), control.position, m_dpi);
}

void CSettingDlg::PlaceCloseBox() {
    const RECT client = ClientRect();
    m_rcCloseBox = {client.right - Scaled(kCloseBoxSize), Scaled(skin::kCloseBoxTop), client.right,
                    Scaled(skin::kCloseBoxTop + kCloseBoxSize)};
    m_closeBox.Place(m_rcCloseBox);
    m_closeBox.SetCueArea(CloseBoxPicture());
}

// The dialog's own rectangle ("SET_FRAME", at 96 dpi). A size that could not be seen, or
// larger than every screen together once scaled (its close box out of reach), is refused and
// the template's size kept; a hide flag is ignored: a hidden modal dialog would block the
// host with nothing to close. Either is logged.
// The size SET_FRAME gives the dialog, when it gives a usable one. Its position is not used:
// the dialog is centred on its owner.
std::optional<SIZE> CSettingDlg::DialogSize() {
    std::wstring value;
    if (!m_pIniFile->ReadString(config::kDialogPos, value)) return std::nullopt;
    const text::Position place = text::ParsePosition(value);
    const int width = Scaled(place.width);
    const int height = Scaled(place.height);
    const bool usable = place.width >= kMinDialogWidth && place.height >= kMinDialogHeight &&
                        width <= ::GetSystemMetrics(SM_CXVIRTUALSCREEN) &&
                        height <= ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (!usable || place.hide) {
        LogTrace(__LINE__, WFILE, L"SET_FRAME \"%.64s\" gives %s (%d x %d); the dialog keeps %s",
                 value.c_str(), usable ? L"a hidden dialog" : L"no usable size", place.width,
                 place.height, usable ? L"its size and is shown" : L"its built-in size");
    }
    if (!usable) return std::nullopt;
    return SIZE{width, height};
}

// Moved to a monitor of another dpi (the platform tells a per-monitor aware window): the
// dialog takes the rectangle the platform suggests and lays its controls, fonts and frame
// out again at the new dpi.
LRESULT CSettingDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam, bool&) {
    const UINT dpi = HIWORD(wParam);
    if (dpi == 0 || dpi == m_dpi) return 0;
    m_dpi = dpi;
    ScaleDialogFont(dpi);
    try {
        PlaceControls();
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    m_lnkResize.SetDpi(dpi);
    m_btnOk.SetDpi(dpi);
    for (CMyGroupBox* frame : Frames())
        frame->SetDpi(dpi);
    m_closeBoxImageLoaded = false;  // the larger copy may now be the one to draw
    NoteCloseBoxSource();
    if (const RECT* suggested = reinterpret_cast<const RECT*>(lParam)) {
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PlaceCloseBox();
    // Every control too: a control made smaller keeps its old pixels, and a new font alone
    // does not repaint it.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

// The template's font at the new dpi, given to every control that uses it (the skinned
// controls draw with fonts of their own). Always made from the template's font as the dialog
// was made with it: the dialog's own font answer stays that one, whatever was set last. Back
// at the dpi the dialog was made at, the controls get that very font again.
void CSettingDlg::ScaleDialogFont(UINT to) {
    ui::UniqueFont scaled;
    HFONT font = m_hTemplateFont;
    if (to != m_templateFontDpi) {
        LOGFONTW design{};
        if (!m_hTemplateFont || !::GetObjectW(m_hTemplateFont, sizeof design, &design)) return;
        design.lfHeight =
            ::MulDiv(design.lfHeight, static_cast<int>(to), static_cast<int>(m_templateFontDpi));
        scaled.reset(::CreateFontIndirectW(&design));
        if (!scaled) return;
        font = scaled.get();
    }
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    m_dialogFont = std::move(scaled);  // the one it replaces is no longer used by any control
}

// ---------------------------------------------------------------------------------------
// Frame: background, close box, dragging, keys

// The frame with the close box on its band, both composed once into the kept frame: every
// erase, the dialog's own and those the transparent controls ask for, is a copy.
LRESULT CSettingDlg::OnEraseBkgnd(WPARAM wParam, LPARAM, bool& handled) {
    const CSkinFrameCache::Decoration closeBox{m_closeBoxSource,
                                               [this](HDC dc) { DrawCloseBoxPicture(dc); }};
    if (g_settingsFrame.Paint(m_hWnd, reinterpret_cast<HDC>(wParam), m_dpi, &closeBox) != 0)
        handled = false;
    return TRUE;
}

// What the close box's picture is drawn from, noted when the dialog opens and when its dpi
// changes (not at every erase: the file's stamp is asked of the file system).
void CSettingDlg::NoteCloseBoxSource() {
    const FileStamp stamp = FileStamp::Of(m_strCloseBoxImagePath);
    const FileStamp larger = FileStamp::Of(dpi::LargerCopyPath(m_strCloseBoxImagePath));
    m_closeBoxSource = m_strCloseBoxImagePath + L"|" + std::to_wstring(stamp.size) + L"|" +
                       std::to_wstring(stamp.written) + L"|" + std::to_wstring(larger.size) + L"|" +
                       std::to_wstring(larger.written) + L"|" + std::to_wstring(m_dpi);
}

// The close box's picture on the kept frame, in the skin's look or the high-contrast one.
void CSettingDlg::DrawCloseBoxPicture(HDC dc) {
    try {
        if (high_contrast::IsOn()) {
            PaintHighContrastCloseBox(dc);
        } else {
            PaintCloseBox(dc);
        }
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
}

LRESULT CSettingDlg::OnCtlColor(WPARAM wParam, LPARAM, bool&) {
    return SkinControlColor(reinterpret_cast<HDC>(wParam));
}

// The close box is part of the kept frame; a paint only adds its focus cue.
LRESULT CSettingDlg::OnPaint(WPARAM, LPARAM, bool&) {
    ui::PaintDc paint(m_hWnd);
    const bool contrast = high_contrast::IsOn();
    if (m_closeBox.ShowsFocus()) {
        const FocusCueColours colours =
            contrast ? FocusCueColours{high_contrast::Colour(COLOR_HIGHLIGHTTEXT),
                                       high_contrast::Colour(COLOR_HIGHLIGHT)}
                     : SkinFocusCueColours();
        DrawFocusCue(paint.Get(), CloseBoxPicture(), m_dpi, colours);
    }
    return 0;
}

// Draws the close-box picture (its cell of the image) at the right end of the title band, with
// white as the transparent colour.
void CSettingDlg::PaintCloseBox(HDC dc) {
    const RECT client = ClientRect();
    const int width = client.right - client.left;
    // Decoded once per opening (and dpi): the picture is the same at every paint.
    if (!m_closeBoxImageLoaded) {
        m_closeBoxImage = LoadSkinImageFor(m_strCloseBoxImagePath, m_dpi);
        m_closeBoxImageLoaded = true;
    }
    if (!m_closeBoxImage) RAISE_ERROR(ERROR_NOT_ENOUGH_MEMORY);
    if (m_dpi != dpi::kBase || m_closeBoxImage.factor != 1) {
        PaintCloseBoxScaled(dc, width);
        return;
    }
    ui::UniqueDc memory(::CreateCompatibleDC(nullptr));
    if (!memory) RAISE_ERROR(ERROR_NOT_ENOUGH_MEMORY);
    // 24-bit pixels, whatever `dc` holds: GDI+ gives 32-bit pixels an alpha channel, and the
    // key colour would then match no pixel of a 32-bit target.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_rcCloseBox.right;
    info.bmiHeader.biHeight = -m_rcCloseBox.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    ui::UniqueBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) RAISE_ERROR(ERROR_NOT_ENOUGH_MEMORY);
    ui::SelectGuard selected(memory.get(), bitmap.get());
    {
        Gdiplus::Graphics graphics(memory.get());
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        graphics.FillRectangle(&white, 0, 0, m_rcCloseBox.right, m_rcCloseBox.bottom);
        graphics.DrawImage(m_closeBoxImage.get(),
                           Gdiplus::Rect(0, 0, kCloseBoxCell.width, kCloseBoxCell.height),
                           kCloseBoxCell.x, kCloseBoxCell.y, kCloseBoxCell.width,
                           kCloseBoxCell.height, Gdiplus::UnitPixel, nullptr);
    }
    ::TransparentBlt(dc, width - skin::kCloseBoxFromRight, skin::kCloseBoxDrawnTop, kCloseBoxSize,
                     kCloseBoxSize, memory.get(), 0, 0, kCloseBoxSize, kCloseBoxSize,
                     RGB(255, 255, 255));
}

// The same picture scaled: white keyed out before it is smoothly stretched, so that its edges
// blend with the band instead of keeping a fringe of the key colour.
void CSettingDlg::PaintCloseBoxScaled(HDC dc, int width) {
    const int f = m_closeBoxImage.factor;
    Gdiplus::Graphics graphics(dc);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    Gdiplus::ImageAttributes keyed;
    keyed.SetColorKey(Gdiplus::Color(255, 255, 255), Gdiplus::Color(255, 255, 255));
    keyed.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    const Gdiplus::Rect target(width - Scaled(skin::kCloseBoxFromRight),
                               Scaled(skin::kCloseBoxDrawnTop), Scaled(kCloseBoxCell.width),
                               Scaled(kCloseBoxCell.height));
    graphics.DrawImage(m_closeBoxImage.get(), target, kCloseBoxCell.x * f, kCloseBoxCell.y * f,
                       kCloseBoxCell.width * f, kCloseBoxCell.height * f, Gdiplus::UnitPixel,
                       &keyed);
}

bool CSettingDlg::InCloseBox(LPARAM lParam) const {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return ::PtInRect(&m_rcCloseBox, point) != FALSE;
}

LRESULT CSettingDlg::OnLButtonDown(WPARAM, LPARAM lParam, bool& handled) {
    if (InCloseBox(lParam)) return 0;
    if (!InDragBand(lParam, m_dpi)) return 0;  // ignored, no default handling
    StartCaptionDrag(lParam);
    handled = false;
    return 0;
}

LRESULT CSettingDlg::OnLButtonUp(WPARAM, LPARAM lParam, bool& handled) {
    if (InCloseBox(lParam)) CloseWithoutSaving();
    handled = false;
    return 0;
}

bool CSettingDlg::PreTranslateMessage(MSG& msg) {
    if (key_filter::SettingsDialogSwallows(FilteredPress(msg))) return true;
    return ui::Dialog::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------------------------------
// Waiting box

LRESULT CSettingDlg::OnShowWaiting(WPARAM wParam, LPARAM, bool&) {
    m_dlgWaiting.SetMode(static_cast<int>(wParam));
    // Modal over this dialog: nothing here can be clicked while the engine works.
    m_dlgWaiting.DoModal(m_hWnd);
    ShowPendingFailure();
    return 1;
}

LRESULT CSettingDlg::OnCloseWaiting(WPARAM, LPARAM, bool&) {
    // Closed at once, so that whatever the worker posted next is handled after the box
    // is gone.
    m_dlgWaiting.Close();
    return 1;
}
