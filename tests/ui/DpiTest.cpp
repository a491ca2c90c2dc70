// Every window at the display's dpi (under Wine the prefix's; CTest runs this suite at 96, 120,
// 144 and 192 dpi, each in a prefix of its own): the configuration's rectangles scaled, every
// text whole in its own font, the frame's pieces at their scaled places, and the drag band and
// the close box working where they are drawn.
#include <algorithm>
#include <cwchar>

#include "HostProtocol.h"
#include "Session.h"
#include "TestImages.h"

using namespace testsupport;

namespace {

constexpr COLORREF kBand = RGB(0x60, 0x70, 0x80);
constexpr COLORREF kFrame = RGB(0xC0, 0x30, 0x30);
constexpr COLORREF kBorder = RGB(0x64, 0x72, 0x7C);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The dpi the windows are expected at: the display's, or the one a test moved the dialog to.
int g_dpi = 0;

// `pixels` at 96 dpi, at the expected dpi.
int S(int pixels) {
    return ::MulDiv(pixels, g_dpi ? g_dpi : DisplayDpi(), 96);
}

// How a control shows its text, and the room its text has beside it.
enum class Shows { Label, Check, List, Link, Frame, Nothing };

struct Placed {
    int id;
    const wchar_t* key;  // in [POSITION]
    Shows shows;
};

// clang-format off
const Placed kSettings[] = {
    {IDC_VP_FRAME, L"IDC_VP_FRAME_POS", Shows::Frame}, {IDC_CHECK_PROTECT, L"CP", Shows::Check},
    {IDC_STATIC_SZ_SHOW, L"VP_FREESHOW", Shows::Label}, {IDC_STATIC_RESIZE, L"VP_RESIZE", Shows::Link},
    {IDC_SCHEDULE_FRAME, L"IDC_SCHEDULE_FRAME_POS", Shows::Frame},
    {IDC_STATIC_SC_TITLE, L"SC_TITLE", Shows::Label}, {IDC_CHECK_SCHEDULE, L"SC_CHECKTIME", Shows::Check},
    {IDC_COMBO_SCHEDULE, L"SC_EDIT", Shows::List}, {IDC_STATIC_SC_MINUTES, L"SC_MINUTES", Shows::Label},
    {IDC_CHECK_EV_SYSFOLDER, L"EV_SYSFOLDER", Shows::Check},
    {IDC_CHECK_EV_NEWPROGRAM, L"EV_NEWPROGRAM", Shows::Check}, {IDC_CHECK_EV_CYCLE, L"EV_CYCLE", Shows::Check},
    {IDC_COMBO_EV_CYCLE, L"EV_CYCLE_CB", Shows::List}, {IDC_STATIC_EV_MIN, L"EV_CYCLE_TIME", Shows::Label},
    {IDC_AR_FRAME, L"IDC_AR_FRAME_POS", Shows::Frame}, {IDC_CHECK_AR, L"IDC_CHECK_AR", Shows::Check},
    {IDC_COMBO_AR, L"IDC_COMBO_AR", Shows::List}, {IDC_STATIC_TOTHELATEST, L"IDC_TOTHELATEST", Shows::Label},
    {IDC_NOTI_FRAME, L"IDC_NOTI_FRAME_POS", Shows::Frame}, {IDC_STATIC_NT_TITLE, L"NT_TITLE", Shows::Label},
    {IDC_CHECK_TRAYICON, L"NT_TRAYICON", Shows::Check}, {IDC_CHECK_TOASTER, L"NT_TOASTER", Shows::Check},
    {IDC_SEC_FRAME, L"IDC_SEC_FRAME_POS", Shows::Frame}, {IDC_PASSWORD, L"PASS", Shows::Check},
    {IDC_BTN_OK, L"BTN_OK", Shows::Nothing},
};
const Placed kPassword[] = {
    {IDC_S_NEWPASS, L"S_NEWPASS", Shows::Label}, {IDC_E_NEWPASS, L"E_NEWPASS", Shows::Nothing},
    {IDC_S_NEWPASS2, L"S_NEWPASS2", Shows::Label}, {IDC_E_NEWPASS2, L"E_NEWPASS2", Shows::Nothing},
    {IDC_S_FORGETPASS, L"S_FORGETPASS", Shows::Label}, {IDOK, L"S_PASSOK", Shows::Label},
    {IDCANCEL, L"S_PASSCANCEL", Shows::Label},
};
// clang-format on

RECT Scaled(const std::wstring& position) {
    int x = 0, y = 0, width = 0, height = 0;
    std::swscanf(position.c_str(), L"%d,%d,%d,%d", &x, &y, &width, &height);
    return {S(x), S(y), S(x) + S(width), S(y) + S(height)};
}

// The platform's dialog font at the display's dpi (the templates' "Segoe UI", 8 points), or the
// group frames' caption font.
HFONT MakeFont(Shows shows) {
    const bool caption = shows == Shows::Frame;
    const int points = caption ? 10 : 8;
    return ::CreateFontW(-::MulDiv(points, g_dpi ? g_dpi : DisplayDpi(), 72), 0, 0, 0,
                         caption ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                         L"Segoe UI");
}

// The rectangle `text` needs in the control's font, within `width` for lines.
RECT Measure(const std::wstring& text, Shows shows, int width, bool lines) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HFONT font = MakeFont(shows);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT need{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), -1, &need,
                DT_CALCRECT | DT_NOPREFIX | (lines ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::DeleteDC(dc);
    return need;
}

// By how many pixels the control's text overflows its room (0 when it fits): one line beside
// a check box's box, a list's button or a frame's margins; a label's lines within its height.
int Overflow(HWND dialog, const Placed& control) {
    if (control.shows == Shows::Nothing) return 0;
    std::wstring text = Text(dialog, control.id);
    if (control.shows == Shows::List) {
        const auto items = ComboItems(dialog, control.id);
        const int at = ComboSelection(dialog, control.id);
        text = at >= 0 && at < static_cast<int>(items.size()) ? items[at] : L"";
    }
    const RECT rc = RectIn(dialog, control.id);
    int room = rc.right - rc.left;
    if (control.shows == Shows::Check) room -= S(16);
    if (control.shows == Shows::List) room -= ::GetSystemMetrics(SM_CXVSCROLL) + S(6);
    if (control.shows == Shows::Frame) room -= 2 * S(9);
    const bool lines = control.shows == Shows::Label;
    const RECT need = Measure(text, control.shows, room, lines);
    if (lines) return std::max(0L, need.bottom - (rc.bottom - rc.top));
    return std::max(0L, need.right - room);
}

// How wide the drawn text right of a check box's box is: from its first to its last column
// with a pixel other than white.
int InkWidth(const Capture& shot, const RECT& box) {
    int first = -1, last = -1;
    for (int x = box.left + S(16); x < box.right; ++x) {
        for (int y = box.top; y < box.bottom; ++y) {
            if (shot.At(x, y) != RGB(255, 255, 255)) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

// The check boxes' texts are drawn in the dialog's font: no wider than it makes them (a
// focus rectangle around the text may add a pixel on each side).
template <size_t N>
void ExpectChecksInTheDialogsFont(HWND dialog, const Placed (&controls)[N]) {
    const Capture shot(dialog);
    for (const Placed& control : controls) {
        if (control.shows != Shows::Check) continue;
        const std::wstring text = Text(dialog, control.id);
        const int width = Measure(text, control.shows, 0, false).right;
        const int ink = InkWidth(shot, RectIn(dialog, control.id));
        EXPECT_GT(ink, width / 2) << Narrow(control.key) << ": its text is not drawn";
        EXPECT_LE(ink, width + 2 * S(1)) << Narrow(control.key) << ": not the dialog's font";
    }
}

template <size_t N>
void ExpectControlsLaidOut(Session& session, HWND dialog, const Placed (&controls)[N]) {
    for (const Placed& control : controls) {
        const RECT want = Scaled(session.Setting(L"POSITION", control.key));
        const RECT got = RectIn(dialog, control.id);
        EXPECT_NEAR(got.left, want.left, 1) << Narrow(control.key);
        EXPECT_NEAR(got.top, want.top, 1) << Narrow(control.key);
        EXPECT_NEAR(got.right, want.right, 1) << Narrow(control.key);
        // A list's configured height is its field and the list it drops down, exactly.
        if (control.shows == Shows::List) {
            EXPECT_EQ(got.bottom + DroppedListHeight(dialog, control.id), want.bottom)
                << Narrow(control.key);
        } else {
            EXPECT_NEAR(got.bottom, want.bottom, 1) << Narrow(control.key);
        }
        EXPECT_EQ(Overflow(dialog, control), 0)
            << Narrow(control.key) << " cut: \"" << Narrow(Text(dialog, control.id)) << "\"";
    }
}

// Drags the window by a press at client row `y`; true when it moved.
bool DragsFrom(Session& session, HWND dialog, int y) {
    const RECT before = WindowRectOf(dialog);
    const POINT from = ClientToScreenPoint(dialog, ClientSize(dialog).cx / 2, y);
    MouseDown(from);
    for (int step = 1; step <= 6; ++step)
        MoveMouse({from.x + 10 * step, from.y + 20 * step / 3});
    MouseUp({from.x + 60, from.y + 40});
    session.host->Settle();
    return WaitUntil([&] { return WindowRectOf(dialog).left == before.left + 60; }, 800);
}

TEST(DpiTest, SettingsDialogIsTheDesignEnlarged) {
    Session session;
    session.sandbox.WriteFile(L"skin\\default\\frame\\wndbk.png", SolidBmp24(60, 30, kBand));
    session.sandbox.WriteFile(L"skin\\default\\frame\\Line_Frame.bmp", SolidBmp24(21, 21, kFrame));
    // A larger copy of the band that is not twice its size: logged and never drawn.
    session.sandbox.WriteFile(L"skin\\default\\frame\\wndbk@2x.png", SolidBmp24(100, 60, kFrame));
    HWND dialog = session.Open();
    ASSERT_NE(dialog, nullptr);
    session.ExpectLog({L"wndbk@2x.png is 100 x 60 pixels, not twice 60 x 30; it is not used"});
    const SIZE client = ClientSize(dialog);
    EXPECT_NEAR(client.cx, S(600), 1);
    EXPECT_NEAR(client.cy, S(500), 1);
    ExpectControlsLaidOut(session, dialog, kSettings);
    ExpectChecksInTheDialogsFont(dialog, kSettings);

    const Capture shot(dialog);
    const int w = shot.Width(), h = shot.Height(), line = S(1);
    EXPECT_EQ(shot.At(w / 2, S(30) - 1), kBand) << "the band ends above its scaled height";
    EXPECT_EQ(shot.At(w / 2, S(30)), kWhite) << "the band reaches below its scaled height";
    for (const POINT border : {POINT{0, h / 2}, POINT{line - 1, h / 2}, POINT{w - line, h / 2},
                               POINT{w / 2, h - line}}) {
        EXPECT_EQ(shot.At(border.x, border.y), kBorder) << border.x << "," << border.y;
    }
    EXPECT_EQ(shot.At(line, h / 2), kWhite) << "the border line is too wide";
    EXPECT_GT(S(30) * S(25) - shot.Count({w - S(35), S(1), w - S(5), S(26)}, kBand), S(20))
        << "no close box in its scaled cell";
    const RECT group = RectIn(dialog, IDC_NOTI_FRAME);
    const int piece = S(6), middle = (group.top + group.bottom) / 2;
    EXPECT_EQ(shot.At(group.right - 1, group.bottom - 1), kFrame);
    EXPECT_EQ(shot.At(group.left + piece - 1, middle), kFrame) << "the frame's edge is too narrow";
    EXPECT_EQ(shot.At(group.left + piece, middle), kWhite) << "the frame's edge is too wide";
    EXPECT_EQ(shot.At(group.left + piece, group.top + S(9) + piece - 1), kFrame);

    BringToFront(dialog);
    EXPECT_TRUE(DragsFrom(session, dialog, S(30))) << "the band's last row does not drag";
    EXPECT_FALSE(DragsFrom(session, dialog, S(30) + 1)) << "a row below the band drags";

    // The message dialog (here the question before a resize) has the same band.
    const RECT link = RectIn(dialog, IDC_STATIC_RESIZE);
    MouseClick(ClientToScreenPoint(dialog, (link.left + link.right) / 2, link.bottom - S(4)));
    HWND question = WaitForMessageDialog(*session.host);
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Capture(question).At(S(20), S(30) - 1) == kBand; }, 3000));
    BringToFront(question);
    EXPECT_TRUE(DragsFrom(session, question, S(30))) << "the message's band does not drag";
    EXPECT_FALSE(DragsFrom(session, question, S(30) + 1)) << "the message drags below its band";
    Click(question, IDC_MSG_NO);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));

    BringToFront(dialog);
    // Near the left edge of its 30-pixel cell: the whole cell closes.
    MouseClick(ClientToScreenPoint(dialog, w - S(28), S(15)));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); })) << "the close box did not close";
}

// Moved to a monitor of another dpi (here: told so the way the platform tells a per-monitor
// aware window), the dialog takes the suggested size and lays its controls out again; moved
// back, it is exactly what it was, to the pixel.
TEST(DpiTest, DialogMovedToAnotherDpiIsLaidOutAgain) {
    Session session;
    session.sandbox.WriteFile(L"skin\\default\\frame\\wndbk.png", SolidBmp24(60, 30, kBand));
    HWND dialog = session.Open();
    ASSERT_NE(dialog, nullptr);
    // The pointer away from the dialog at both sizes: no control shows its hover face.
    MoveMouse({0, 0});
    const int from = DisplayDpi(), to = from == 96 ? 144 : 96;
    std::vector<RECT> first;
    for (const Placed& control : kSettings)
        first.push_back(RectIn(dialog, control.id));
    // As it stands once it is on the screen and painted: the band there, and two captures a
    // moment apart the same.
    Capture before(dialog);
    EXPECT_TRUE(WaitUntil([&] {
        ::Sleep(100);
        const Capture again(dialog);
        const bool steady = again.Differences(before) == 0 && again.At(S(300), S(30) - 1) == kBand;
        before = again;
        return steady;
    }));

    ::PostMessageW(session.host->MainWindow(), host::kMoveToDpi, to, from);
    g_dpi = to;
    EXPECT_TRUE(WaitUntil([&] { return std::abs(ClientSize(dialog).cx - S(600)) <= 1; }, 3000));
    EXPECT_NEAR(ClientSize(dialog).cy, S(500), 1);
    ExpectControlsLaidOut(session, dialog, kSettings);
    EXPECT_TRUE(WaitUntil([&] { return Capture(dialog).At(S(300), S(30) - 1) == kBand; }, 3000));
    EXPECT_EQ(Capture(dialog).At(S(300), S(30)), kWhite) << "the band kept its old height";

    ::PostMessageW(session.host->MainWindow(), host::kMoveToDpi, from, to);
    g_dpi = 0;
    EXPECT_TRUE(WaitUntil([&] { return std::abs(ClientSize(dialog).cx - S(600)) <= 1; }, 3000));
    for (size_t i = 0; i < std::size(kSettings); ++i) {
        const RECT now = RectIn(dialog, kSettings[i].id);
        EXPECT_TRUE(::EqualRect(&now, &first[i])) << Narrow(kSettings[i].key) << " moved";
    }
    // Once it has painted again, every pixel (and so every control's font) is as before.
    EXPECT_TRUE(WaitUntil([&] { return Capture(dialog).Differences(before) == 0; }, 5000))
        << Capture(dialog).Differences(before) << " pixels differ after the round trip";
    session.Close(dialog);

    // A list given no more height than its field still drops down the template's list, as
    // it does when the dialog moves the template's list there.
    dialog = session.Open("", {{L"POSITION", L"SC_EDIT", L"116,189,120,16"}});
    ASSERT_NE(dialog, nullptr);
    EXPECT_GT(DroppedListHeight(dialog, IDC_COMBO_SCHEDULE), S(100));
    session.Close(dialog);
}

TEST(DpiTest, PasswordDialogIsTheDesignEnlarged) {
    Session session;
    HWND dialog = session.Open();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_PASSWORD);
    HWND pass = session.host->WaitForDialogWith(IDC_E_NEWPASS);
    ASSERT_NE(pass, nullptr);
    const RECT window = WindowRectOf(pass);
    EXPECT_NEAR(window.right - window.left, S(380), 1);
    EXPECT_NEAR(window.bottom - window.top, S(230), 1);
    ExpectControlsLaidOut(session, pass, kPassword);
    ::PostMessageW(pass, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(pass); }));
    session.Close(dialog);
}

}  // namespace
