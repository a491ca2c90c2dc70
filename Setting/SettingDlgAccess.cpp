// The settings dialog for keyboard users and screen readers: the resize link and the close box
// come after OK in the order of the Tab key (the link, then the close box) and Space clicks
// them; screen readers hear the link as a link, the group frames as groupings and the close box
// as a button; in high contrast the close box is a cross in the highlight's text colour.
#include <algorithm>

#include "ExceptionWrapper.h"
#include "HighContrast.h"
#include "SettingDlg.h"
#include "SkinGeometry.h"

namespace {
constexpr wchar_t kCloseBoxName[] = L"Close";  // what screen readers call it unless configured
}  // namespace

void CSettingDlg::SetUpAccess() {
    m_lnkResize.ActAsLink();
    // Right after OK in the order of the Tab key (the windows' order; nothing overlaps there).
    ::SetWindowPos(m_lnkResize.Handle(), m_btnOk.Handle(), 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    std::wstring name;
    try {
        if (m_pIniFile) m_pIniFile->ReadString(config::kCloseBoxName, name);
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    // Made last, it comes last after OK and the link.
    if (m_closeBox.Create(m_hWnd, IDC_CLOSE_BOX, m_rcCloseBox, name.empty() ? kCloseBoxName : name))
        m_closeBox.SetCueArea(CloseBoxPicture());
    using Kind = CDialogAccess::Kind;
    m_access.Attach(m_hWnd, {{IDC_STATIC_RESIZE, Kind::Link},
                             {IDC_VP_FRAME, Kind::Grouping},
                             {IDC_SCHEDULE_FRAME, Kind::Grouping},
                             {IDC_AR_FRAME, Kind::Grouping},
                             {IDC_NOTI_FRAME, Kind::Grouping},
                             {IDC_SEC_FRAME, Kind::Grouping}});
}

// The close box, by mouse or keyboard: the dialog ends without saving (only OK saves).
void CSettingDlg::CloseWithoutSaving() {
    EndDialog(IDOK);
}

// Where the close box's picture is drawn, at the right end of the title band.
RECT CSettingDlg::CloseBoxPicture() const {
    const int width = ClientRect().right;
    const int left = width - Scaled(skin::kCloseBoxFromRight);
    const int top = Scaled(skin::kCloseBoxDrawnTop);
    return {left, top, left + Scaled(skin::kCloseBoxSize), top + Scaled(skin::kCloseBoxSize)};
}

// High contrast: a cross in the middle of the picture's place, in the colour of the band's text.
void CSettingDlg::PaintHighContrastCloseBox(HDC dc) const {
    const RECT picture = CloseBoxPicture();
    const int half = Scaled(skin::kCloseBoxCell.height) / 5;
    const int x = (picture.left + picture.right) / 2;
    const int y = picture.top + Scaled(skin::kCloseBoxCell.height) / 2;
    LOGBRUSH colour{BS_SOLID, high_contrast::Colour(COLOR_HIGHLIGHTTEXT), 0};
    const ui::UniquePen pen(::ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT,
                                           std::max(1, Scaled(2)), &colour, 0, nullptr));
    if (!pen) return;
    ui::SelectGuard selected(dc, pen.get());
    ::MoveToEx(dc, x - half, y - half, nullptr);
    ::LineTo(dc, x + half, y + half);
    ::MoveToEx(dc, x + half, y - half, nullptr);
    ::LineTo(dc, x - half, y + half);
}
