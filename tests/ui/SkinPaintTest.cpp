// The skin of the settings dialog as it is on the screen: the frame with its title band,
// border and title, the group frames, the close box, the OK button's faces and the resize
// link. The sandbox gets skin images of the test's own, so every expected pixel is known.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "HostProcess.h"
#include "Sandbox.h"
#include "TestImages.h"
#include "Ui.h"
#include "resource.h"

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

class SkinPaintTest : public ::testing::Test {
protected:
    SkinPaintTest() {
        sandbox.WriteFile(L"skin\\default\\frame\\wndbk.png", TitleBandBmp());
        sandbox.WriteFile(L"skin\\default\\frame\\Line_Frame.bmp", FrameBmp());
        sandbox.WriteFile(L"skin\\default\\frame\\test_close.bmp", Bmp24(80, 25, &CloseStripPixel));
        sandbox.SetSetting(L"SETTING", L"IDC_BTNS", L"\\skin\\default\\frame\\test_close.bmp");
        sandbox.WriteFile(L"skin\\default\\btn\\test_normal.bmp", SolidBmp24(90, 30, kOkNormal));
        sandbox.WriteFile(L"skin\\default\\btn\\test_hover.bmp", SolidBmp24(90, 30, kOkHover));
        sandbox.SetSetting(L"PIC", L"BTN_OK_PIC", L"\\skin\\default\\btn\\test_normal.bmp");
        sandbox.SetSetting(L"PIC", L"BTN_OK_PIC_H", L"\\skin\\default\\btn\\test_hover.bmp");
        // The pointer away from where the dialog will be, so nothing starts hovered.
        MoveMouse({1, 1});
    }
    void TearDown() override {
        if (host) host->Kill();
    }

    void Open() {
        host = std::make_unique<HostProcess>(sandbox);
        dialog = host->WaitForSettings();
        ASSERT_NE(dialog, nullptr);
        BringToFront(dialog);
        size = ClientSize(dialog);
    }

    // The dialog's pixels once `ready` holds for them (painting may still be under way when
    // the dialog is first found); the last capture when it never does.
    Capture CaptureWhen(const std::function<bool(const Capture&)>& ready) const {
        std::unique_ptr<Capture> shot;
        WaitUntil(
            [&] {
                shot = std::make_unique<Capture>(dialog);
                return ready(*shot);
            },
            10000);
        return *shot;
    }
    Capture CaptureAt(POINT point, COLORREF color) const {
        return CaptureWhen([=](const Capture& c) { return c.At(point.x, point.y) == color; });
    }

    // Colour of a rectangle's pixel given in the control's coordinates.
    static COLORREF At(const Capture& shot, const RECT& rc, int x, int y) {
        return shot.At(rc.left + x, rc.top + y);
    }

    Sandbox sandbox{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::unique_ptr<HostProcess> host;
    HWND dialog = nullptr;
    SIZE size{};
};

TEST_F(SkinPaintTest, FrameHasTheTitleBandBorderLinesAndTitle) {
    Open();
    const int w = size.cx, h = size.cy;
    const Capture shot = CaptureAt({0, h - 1}, kBorder);

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

    // The band is the image's three pieces, everywhere except under the title and the glyph
    // of the close box.
    const RECT title{0, 4, 250, 26};
    const RECT glyph{w - 30, 6, w - 10, 21};
    int dark = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < w; ++x) {
            const POINT p{x, y};
            if (::PtInRect(&title, p)) {
                dark += IsDark(shot.At(x, y)) ? 1 : 0;
                continue;
            }
            if (::PtInRect(&glyph, p)) continue;
            ASSERT_EQ(shot.At(x, y), ExpectedBandPixel(x, y, w))
                << "band at " << x << "," << y << ": " << Hex(shot.At(x, y));
        }
    }
    // The title is drawn in black over the band.
    EXPECT_GT(dark, 40);
    EXPECT_EQ(Text(dialog), L"Corvianex Shield Settings");
}

TEST_F(SkinPaintTest, GroupFramesAreDrawnFromTheNineSliceBitmap) {
    Open();
    const RECT last = RectIn(dialog, IDC_SEC_FRAME);
    const Capture shot = CaptureAt({last.right - 1, last.bottom - 1}, FramePixel(20, 20));
    for (int id : {IDC_VP_FRAME, IDC_SCHEDULE_FRAME, IDC_AR_FRAME, IDC_NOTI_FRAME, IDC_SEC_FRAME}) {
        SCOPED_TRACE("frame " + std::to_string(id));
        const RECT rc = RectIn(dialog, id);
        const int right = rc.right - rc.left, bottom = rc.bottom - rc.top;
        for (int j = 0; j < 6; ++j) {
            for (int i = 0; i < 6; ++i) {
                // Corners: top ones 9 pixels down, so that the caption sits across the line.
                ASSERT_EQ(At(shot, rc, i, 9 + j), FramePixel(i, j)) << i << "," << j;
                ASSERT_EQ(At(shot, rc, right - 6 + i, 9 + j), FramePixel(15 + i, j));
                ASSERT_EQ(At(shot, rc, i, bottom - 6 + j), FramePixel(i, 15 + j));
                // Drawn last, over the end of the edge runs.
                ASSERT_EQ(At(shot, rc, right - 6 + i, bottom - 6 + j), FramePixel(15 + i, 15 + j));
                // The first piece of the left and right edges.
                ASSERT_EQ(At(shot, rc, i, 15 + j), FramePixel(i, 6 + j));
                ASSERT_EQ(At(shot, rc, right - 6 + i, 15 + j), FramePixel(15 + i, 6 + j));
            }
        }
        // The caption covers the top edge from x 9 on, in black on white.
        int captionDark = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 9; x < 120; ++x)
                captionDark += IsDark(At(shot, rc, x, y)) ? 1 : 0;
        }
        EXPECT_GT(captionDark, 20);
        EXPECT_EQ(At(shot, rc, 9, 10), kWhite);
    }
}

TEST_F(SkinPaintTest, CloseBoxShowsItsCellWithWhiteTransparent) {
    Open();
    const int w = size.cx;
    // The cell (x 20..49 of the strip) lands at (w - 35, 1): its glyph at x 25..44, y 5..19.
    const Capture shot = CaptureAt({w - 30, 6}, kGlyph);
    const RECT glyph{w - 30, 6, w - 10, 21};
    EXPECT_EQ(shot.Count(glyph, kGlyph), 20 * 15);
    EXPECT_EQ(shot.Count({0, 0, w, size.cy}, kGlyph), 20 * 15);
    EXPECT_EQ(shot.Count({0, 0, w, size.cy}, kOtherCells), 0);
    // White pixels of the cell and the rows below it let the band show through.
    for (const POINT p : {POINT{w - 35, 1}, POINT{w - 31, 5}, POINT{w - 9, 20}, POINT{w - 20, 27},
                          POINT{w - 6, 29}}) {
        EXPECT_EQ(shot.At(p.x, p.y), ExpectedBandPixel(p.x, p.y, w)) << p.x << "," << p.y;
    }
}

TEST_F(SkinPaintTest, OkButtonShowsItsNormalFaceAndItsHoverFaceUnderThePointer) {
    Open();
    const RECT ok = RectIn(dialog, IDC_BTN_OK);
    const int bw = ok.right - ok.left, bh = ok.bottom - ok.top;
    // Points of the face away from the centred caption.
    const POINT corners[] = {{ok.left + 2, ok.top + 2},
                             {ok.right - 3, ok.top + 2},
                             {ok.left + 2, ok.bottom - 3},
                             {ok.right - 3, ok.bottom - 3}};
    Capture normal = CaptureAt(corners[0], kOkNormal);
    for (const POINT p : corners)
        EXPECT_EQ(normal.At(p.x, p.y), kOkNormal);
    // The face fills the button, and the caption is drawn over it in white.
    EXPECT_GT(normal.Count(ok, kOkNormal), bw * bh * 2 / 3);
    EXPECT_GT(normal.Count(ok, kWhite), 10);
    EXPECT_EQ(normal.Count(ok, kOkHover), 0);

    MoveMouse(ClientToScreenPoint(dialog, ok.left + bw / 2, ok.top + bh / 2));
    Capture hover = CaptureAt(corners[0], kOkHover);
    for (const POINT p : corners)
        EXPECT_EQ(hover.At(p.x, p.y), kOkHover);
    EXPECT_GT(hover.Count(ok, kOkHover), bw * bh * 2 / 3);
    EXPECT_GT(hover.Count(ok, kWhite), 10);

    // Leaving brings the normal face back.
    MoveMouse(ClientToScreenPoint(dialog, 100, 200));
    Capture left = CaptureAt(corners[0], kOkNormal);
    for (const POINT p : corners)
        EXPECT_EQ(left.At(p.x, p.y), kOkNormal);
    MoveMouse({1, 1});
}

TEST_F(SkinPaintTest, ResizeLinkIsBlueTextOnWhite) {
    Open();
    const RECT link = RectIn(dialog, IDC_STATIC_RESIZE);
    const COLORREF blue = RGB(0, 0, 255);
    const Capture shot = CaptureWhen([&](const Capture& c) { return c.Count(link, blue) > 20; });
    const int area = (link.right - link.left) * (link.bottom - link.top);
    const int blues = shot.Count(link, blue);
    const int whites = shot.Count(link, kWhite);
    // Text (its underline alone is a solid blue run) on a white ground, and nothing else
    // but the blends of the two at the glyphs' edges.
    EXPECT_GT(blues, 20);
    EXPECT_GT(whites, area / 2);
    int other = 0;
    for (int y = link.top; y < link.bottom; ++y) {
        for (int x = link.left; x < link.right; ++x) {
            const COLORREF c = shot.At(x, y);
            other += (GetBValue(c) == 255 && GetRValue(c) == GetGValue(c)) ? 0 : 1;
        }
    }
    EXPECT_EQ(other, 0);
    EXPECT_EQ(shot.At(link.right - 1, link.top), kWhite);
}

}  // namespace
