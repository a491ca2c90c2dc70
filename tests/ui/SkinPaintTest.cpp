// The skinned look as the user sees it, pixel by pixel, with skin images made by the test:
// the frame's title band, border lines and title; the group frames from the nine-slice
// bitmap; the close box's cell with white as the transparent colour; the OK button's normal
// and hover faces; the blue resize link.
#include <algorithm>
#include <memory>
#include <sstream>

#include "Session.h"
#include "TestImages.h"

using namespace testsupport;

namespace {

constexpr COLORREF kBorder = RGB(0x64, 0x72, 0x7C);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGlyph = RGB(0xC0, 0x10, 0xA0);       // the close-box cell's picture
constexpr COLORREF kOtherCells = RGB(0x10, 0xC0, 0x10);  // cells the dialog must not draw
constexpr COLORREF kOkNormal = RGB(0x20, 0x50, 0x90);
constexpr COLORREF kOkHover = RGB(0x90, 0x20, 0x50);

// The close-box strip: 80 x 25, white, with a 20 x 15 glyph at x 25..44, y 5..19 inside the
// cell x 20..49, and the other cells filled so that drawing them would show.
COLORREF CloseStripPixel(int x, int y) {
    if (x < 20 || x >= 50) return kOtherCells;
    if (x >= 25 && x < 45 && y >= 5 && y < 20) return kGlyph;
    return kWhite;
}

std::string Hex(COLORREF color) {
    std::ostringstream out;
    out << std::hex << "RGB(" << int(GetRValue(color)) << "," << int(GetGValue(color)) << ","
        << int(GetBValue(color)) << ")";
    return out.str();
}

bool IsDark(COLORREF c) {
    return GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60;
}

// The dialog's pixels once `ready` holds for them (painting may still be under way when the
// dialog is first found); the last capture when it never does.
Capture CaptureWhen(HWND dialog, const std::function<bool(const Capture&)>& ready) {
    std::unique_ptr<Capture> shot;
    WaitUntil(
        [&] {
            shot = std::make_unique<Capture>(dialog);
            return ready(*shot);
        },
        10000);
    return *shot;
}
Capture CaptureAt(HWND dialog, POINT point, COLORREF color) {
    return CaptureWhen(dialog, [=](const Capture& c) { return c.At(point.x, point.y) == color; });
}
COLORREF At(const Capture& shot, const RECT& rc, int x, int y) {
    return shot.At(rc.left + x, rc.top + y);
}

// The white caption sits in the middle of the button, whatever its size: a face composed
// for another size (or dpi) and kept would show it where it was.
void ExpectCaptionCentred(const Capture& shot, const RECT& button) {
    RECT caption{button.right, button.bottom, button.left, button.top};
    for (int y = button.top; y < button.bottom; ++y) {
        for (int x = button.left; x < button.right; ++x) {
            if (shot.At(x, y) != kWhite) continue;
            caption = {std::min<LONG>(caption.left, x), std::min<LONG>(caption.top, y),
                       std::max<LONG>(caption.right, x + 1), std::max<LONG>(caption.bottom, y + 1)};
        }
    }
    ASSERT_LT(caption.left, caption.right) << "no caption";
    EXPECT_NEAR(caption.left + caption.right, button.left + button.right, 4);
    EXPECT_NEAR(caption.top + caption.bottom, button.top + button.bottom, 4);
}

TEST(SkinPaintTest, EveryPartOfTheSkinIsDrawnFromItsImage) {
    Session session;
    Sandbox& box = session.sandbox;
    box.WriteFile(L"skin\\default\\frame\\wndbk.png", TitleBandBmp());
    box.WriteFile(L"skin\\default\\frame\\Line_Frame.bmp", FrameBmp());
    box.WriteFile(L"skin\\default\\frame\\test_close.bmp", Bmp24(80, 25, &CloseStripPixel));
    box.WriteFile(L"skin\\default\\btn\\test_normal.bmp", SolidBmp24(90, 30, kOkNormal));
    box.WriteFile(L"skin\\default\\btn\\test_hover.bmp", SolidBmp24(90, 30, kOkHover));
    MoveMouse({1, 1});  // away from where the dialog will be, so nothing starts hovered
    // A width that is no multiple of the band's middle piece: its last copy is cut.
    HWND dialog =
        session.Open("", {{L"POSITION", L"SET_FRAME", L"0,0,613,500"},
                          {L"SETTING", L"IDC_BTNS", L"\\skin\\default\\frame\\test_close.bmp"},
                          {L"PIC", L"BTN_OK_PIC", L"\\skin\\default\\btn\\test_normal.bmp"},
                          {L"PIC", L"BTN_OK_PIC_H", L"\\skin\\default\\btn\\test_hover.bmp"}});
    ASSERT_NE(dialog, nullptr);
    BringToFront(dialog);
    const SIZE size = ClientSize(dialog);
    const int w = size.cx, h = size.cy;
    const RECT last = RectIn(dialog, IDC_SEC_FRAME);
    const Capture shot = CaptureWhen(dialog, [&](const Capture& c) {
        return c.At(0, h - 1) == kBorder &&
               c.At(last.right - 1, last.bottom - 1) == FramePixel(20, 20) &&
               c.At(w - 30, 6) == kGlyph;
    });

    // Border lines, one pixel wide, below the band and along the bottom.
    for (int y = 31; y < h; ++y) {
        ASSERT_EQ(shot.At(0, y), kBorder) << "left line at y " << y;
        ASSERT_EQ(shot.At(w - 1, y), kBorder) << "right line at y " << y;
    }
    for (int x = 0; x < w; ++x)
        ASSERT_EQ(shot.At(x, h - 1), kBorder) << "bottom line at x " << x;
    EXPECT_EQ(shot.At(1, 200), kWhite);
    EXPECT_EQ(shot.At(w - 2, 200), kWhite);
    EXPECT_EQ(shot.At(300, h - 2), kWhite);

    // The band is the image's three pieces, except under the title and the close box's glyph,
    // which shows its cell alone with white let through.
    const RECT title{0, 4, 250, 26};
    const RECT glyph{w - 30, 6, w - 10, 21};
    int dark = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < w; ++x) {
            const POINT p{x, y};
            if (::PtInRect(&title, p)) {
                dark += IsDark(shot.At(x, y)) ? 1 : 0;
            } else if (!::PtInRect(&glyph, p)) {
                ASSERT_EQ(shot.At(x, y), ExpectedBandPixel(x, y, w))
                    << "band at " << x << "," << y << ": " << Hex(shot.At(x, y));
            }
        }
    }
    EXPECT_GT(dark, 40) << "no black title";
    EXPECT_EQ(shot.Count(glyph, kGlyph), 20 * 15);
    EXPECT_EQ(shot.Count({0, 0, w, h}, kGlyph), 20 * 15);
    EXPECT_EQ(shot.Count({0, 0, w, h}, kOtherCells), 0);

    // Group frames: corners (the top ones 9 pixels down, so that the caption sits across the
    // line), the first piece of each side, and the caption in black on white from x 9.
    for (int id : {IDC_VP_FRAME, IDC_SCHEDULE_FRAME, IDC_AR_FRAME, IDC_NOTI_FRAME, IDC_SEC_FRAME}) {
        SCOPED_TRACE("frame " + std::to_string(id));
        const RECT rc = RectIn(dialog, id);
        const int right = rc.right - rc.left, bottom = rc.bottom - rc.top;
        for (int j = 0; j < 6; ++j) {
            for (int i = 0; i < 6; ++i) {
                ASSERT_EQ(At(shot, rc, i, 9 + j), FramePixel(i, j)) << i << "," << j;
                ASSERT_EQ(At(shot, rc, right - 6 + i, 9 + j), FramePixel(15 + i, j));
                ASSERT_EQ(At(shot, rc, i, bottom - 6 + j), FramePixel(i, 15 + j));
                ASSERT_EQ(At(shot, rc, right - 6 + i, bottom - 6 + j), FramePixel(15 + i, 15 + j));
                ASSERT_EQ(At(shot, rc, i, 15 + j), FramePixel(i, 6 + j));
                ASSERT_EQ(At(shot, rc, right - 6 + i, 15 + j), FramePixel(15 + i, 6 + j));
            }
        }
        int captionDark = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 9; x < 120; ++x)
                captionDark += IsDark(At(shot, rc, x, y)) ? 1 : 0;
        }
        EXPECT_GT(captionDark, 20);
        EXPECT_EQ(At(shot, rc, 9, 10), kWhite);
    }

    // The resize link: blue text on white, nothing else but their blends.
    const RECT link = RectIn(dialog, IDC_STATIC_RESIZE);
    const int linkArea = (link.right - link.left) * (link.bottom - link.top);
    EXPECT_GT(shot.Count(link, RGB(0, 0, 255)), 20);
    EXPECT_GT(shot.Count(link, kWhite), linkArea / 2);
    for (int y = link.top; y < link.bottom; ++y) {
        for (int x = link.left; x < link.right; ++x) {
            const COLORREF c = shot.At(x, y);
            ASSERT_TRUE(GetBValue(c) == 255 && GetRValue(c) == GetGValue(c)) << x << "," << y;
        }
    }

    // The OK button: its normal face under a white caption, the hover face under the pointer.
    const RECT ok = RectIn(dialog, IDC_BTN_OK);
    const int area = (ok.right - ok.left) * (ok.bottom - ok.top);
    const POINT corners[] = {{ok.left + 2, ok.top + 2},
                             {ok.right - 3, ok.top + 2},
                             {ok.left + 2, ok.bottom - 3},
                             {ok.right - 3, ok.bottom - 3}};
    for (const COLORREF face : {kOkNormal, kOkHover, kOkNormal}) {
        SCOPED_TRACE(Hex(face));
        MoveMouse(face == kOkHover ? ClientToScreenPoint(dialog, (ok.left + ok.right) / 2,
                                                         (ok.top + ok.bottom) / 2)
                                   : ClientToScreenPoint(dialog, 100, 200));
        const Capture button = CaptureAt(dialog, corners[0], face);
        for (const POINT p : corners)
            EXPECT_EQ(button.At(p.x, p.y), face);
        EXPECT_GT(button.Count(ok, face), area * 2 / 3);
        EXPECT_GT(button.Count(ok, kWhite), 10);
        ExpectCaptionCentred(button, ok);
    }
    MoveMouse({1, 1});
    session.Close(dialog);

    // Opened again in the same process, of the same size, with a smaller button and the
    // shipped close box: the button's face fits its new size, and the close box drawn into the
    // kept frame is the one now configured.
    dialog = session.Open("", {{L"POSITION", L"SET_FRAME", L"0,0,613,500"},
                               {L"POSITION", L"BTN_OK", L"498,456,70,24"},
                               {L"PIC", L"BTN_OK_PIC", L"\\skin\\default\\btn\\test_normal.bmp"}});
    ASSERT_NE(dialog, nullptr);
    BringToFront(dialog);
    const RECT smaller = RectIn(dialog, IDC_BTN_OK);
    ASSERT_EQ(smaller.right - smaller.left, 70);
    const Capture again = CaptureAt(dialog, {smaller.left + 2, smaller.top + 2}, kOkNormal);
    ExpectCaptionCentred(again, smaller);
    EXPECT_EQ(again.Count({0, 0, w, 30}, kGlyph), 0) << "the close box of the last opening";
    session.Close(dialog);
}

}  // namespace
