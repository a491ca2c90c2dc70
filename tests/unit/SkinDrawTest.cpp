// The skin drawing helpers in-process: the drawing surface's statuses and what it puts on a
// device context, the frame painter with and without its title band, the point-size
// conversion, and the shared title-band image used by dialogs on two threads at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "GdiPlus.h"
#include "GdiPlusWrapper.h"
#include "SkinFrame.h"
#include "TempFolder.h"
#include "TestImages.h"

using namespace testsupport;

namespace {

constexpr DWORD kNotReady = 0xE0000001;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBorder = RGB(0x64, 0x72, 0x7C);
constexpr COLORREF kUnpainted = RGB(1, 2, 3);

// A 32-bit top-down DIB selected into a memory DC, with its pixels readable.
class DibSurface {
public:
    DibSurface(int width, int height, COLORREF fill = kWhite) : width_(width), height_(height) {
        dc_ = ::CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<DWORD*>(bits);
        old_ = ::SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~DibSurface() {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    HDC Dc() const { return dc_; }
    void Fill(COLORREF color) {
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }
    COLORREF At(int x, int y) const {
        ::GdiFlush();
        const DWORD v = bits_[static_cast<size_t>(y) * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // Smallest rectangle holding every pixel that is not `ground`; empty when there is none.
    RECT InkBox(COLORREF ground = kWhite) const {
        RECT box{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (At(x, y) == ground) continue;
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
        return box;
    }
    int Count(const RECT& area, bool (*test)(COLORREF)) const {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x)
                count += test(At(x, y)) ? 1 : 0;
        }
        return count;
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    DWORD* bits_ = nullptr;
};

bool IsDark(COLORREF c) {
    return GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60;
}

// A hidden top-level window whose client area is exactly width x height.
class FrameWindow {
public:
    FrameWindow(int width, int height, const wchar_t* title) {
        hwnd_ = ::CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, width, height, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~FrameWindow() { ::DestroyWindow(hwnd_); }
    FrameWindow(const FrameWindow&) = delete;
    FrameWindow& operator=(const FrameWindow&) = delete;
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// A product folder holding skin\default\frame\wndbk.png with `band` (none when empty).
class SkinFolder : public TempFolder {
public:
    SkinFolder(const std::wstring& name, const std::string& band) : TempFolder(name) {
        ::CreateDirectoryW(PathOf(L"skin").c_str(), nullptr);
        ::CreateDirectoryW(PathOf(L"skin\\default").c_str(), nullptr);
        ::CreateDirectoryW(PathOf(L"skin\\default\\frame").c_str(), nullptr);
        if (!band.empty()) Write(L"skin\\default\\frame\\wndbk.png", band);
    }
};

// Every test leaves the process-wide band slot as the program found it: empty.
class SkinFrameTest : public ::testing::Test {
protected:
    void TearDown() override { LoadSkinBackgrounds(nullptr); }
};

// Empties the band slot when it goes. GDI+ keeps an image's file open, so a test's skin
// folder can only be deleted after the slot has let go of its image: declare one of these
// after the folders.
struct SlotEmptiedAtEnd {
    SlotEmptiedAtEnd() = default;
    SlotEmptiedAtEnd(const SlotEmptiedAtEnd&) = delete;
    SlotEmptiedAtEnd& operator=(const SlotEmptiedAtEnd&) = delete;
    ~SlotEmptiedAtEnd() { LoadSkinBackgrounds(nullptr); }
};

// ---------------------------------------------------------------------------------------
// The drawing surface

TEST(GdiPlusWrapperTest, NullTargetIsAnUnusableArgument) {
    CGdiPlusWrapper surface;
    EXPECT_EQ(surface.InitializeWrapper(nullptr, 10, 10, 0xFFFFFF, TRUE), 87u);
    EXPECT_EQ(surface.InitializeWrapper2(nullptr, 10, 10, 0xFFFFFF, TRUE), 87u);
}

TEST(GdiPlusWrapperTest, OperationsBeforeInitialisationAreNotReady) {
    CGdiPlusWrapper surface;
    EXPECT_EQ(surface.DrawLine(0, 0, 5, 5), kNotReady);
    EXPECT_EQ(surface.DrawText(L"x", -1, 0, 0, 0, 0, -1, -1), kNotReady);
    EXPECT_EQ(surface.Present(0, 0), kNotReady);
}

TEST(GdiPlusWrapperTest, MissingImageTextOrFontNameGiveTheirStatuses) {
    DibSurface dib(40, 20);
    CGdiPlusWrapper surface;
    ASSERT_EQ(surface.InitializeWrapper2(dib.Dc(), 40, 20, 0xFFFFFF, TRUE), 0u);
    EXPECT_EQ(surface.DrawImage(nullptr, 0, 0, -1, -1), kNotReady);
    EXPECT_EQ(surface.DrawImagePart(nullptr, 0, 0, 0, 0, -1, -1), kNotReady);
    EXPECT_EQ(surface.DrawText(nullptr, -1, 0, 0, 0, 0, -1, -1), 87u);
    EXPECT_EQ(surface.SetFont(nullptr, 11, 0), 87u);
}

TEST(GdiPlusWrapperTest, PresentInDirectModeIsNotReadyAndReleasesTheSurface) {
    DibSurface dib(40, 20);
    CGdiPlusWrapper surface;
    ASSERT_EQ(surface.InitializeWrapper2(dib.Dc(), 40, 20, 0xFFFFFF, TRUE), 0u);
    EXPECT_EQ(surface.Present(0, 0), kNotReady);
    EXPECT_EQ(surface.DrawLine(0, 0, 5, 5), kNotReady);
}

TEST(GdiPlusWrapperTest, UndecodableOrMissingImageFailsWithTheGdiPlusStatus) {
    TempFolder folder(L"SkinDrawUndecodable");
    folder.Write(L"broken.png", "this is not an image");
    DibSurface dib(40, 20);
    CGdiPlusWrapper surface;
    ASSERT_EQ(surface.InitializeWrapper2(dib.Dc(), 40, 20, 0xFFFFFF, TRUE), 0u);
    for (const std::wstring& path : {folder.PathOf(L"broken.png"), folder.PathOf(L"absent.png")}) {
        const auto image = LoadSkinImage(path);
        ASSERT_NE(image, nullptr) << "an image object exists even for a bad file";
        EXPECT_EQ(image->GetWidth(), 0u);
        const DWORD status = surface.DrawImage(image.get(), 0, 0, -1, -1);
        EXPECT_EQ(status & 0xFF000000u, 0xEE000000u) << std::hex << status;
        EXPECT_NE(status & 0x00FFFFFFu, 0u) << std::hex << status;
    }
    // Nothing was drawn.
    EXPECT_EQ(dib.InkBox().right, 0);
}

TEST(GdiPlusWrapperTest, ImagesAreDrawnAtTheirOwnSizeOrScaled) {
    TempFolder folder(L"SkinDrawImages");
    const COLORREF red = RGB(0xC0, 0x20, 0x20);
    folder.Write(L"red.bmp", SolidBmp24(4, 3, red));
    const auto image = LoadSkinImage(folder.PathOf(L"red.bmp"));
    DibSurface dib(60, 40);
    CGdiPlusWrapper surface;
    ASSERT_EQ(surface.InitializeWrapper2(dib.Dc(), 60, 40, 0xFFFFFF, TRUE), 0u);

    ASSERT_EQ(surface.DrawImage(image.get(), 10, 10, -1, -1), 0u);
    EXPECT_EQ(dib.InkBox().left, 10);
    EXPECT_EQ(dib.InkBox().top, 10);
    EXPECT_EQ(dib.InkBox().right, 14);
    EXPECT_EQ(dib.InkBox().bottom, 13);
    EXPECT_EQ(dib.At(11, 11), red);

    dib.Fill(kWhite);
    ASSERT_EQ(surface.DrawImage(image.get(), 20, 5, 16, 12), 0u);
    EXPECT_EQ(dib.At(27, 10), red);  // the middle of the stretched image
    EXPECT_EQ(dib.At(40, 10), kWhite);

    // A part of a 60 x 30 band at its own size: the piece's first column lands on x.
    folder.Write(L"band.bmp", TitleBandBmp());
    const auto band = LoadSkinImage(folder.PathOf(L"band.bmp"));
    dib.Fill(kWhite);
    ASSERT_EQ(surface.DrawImagePart(band.get(), 3, 2, 40, 0, 20, 30), 0u);
    EXPECT_EQ(dib.At(3, 2), TitleBandPixel(40, 0));
    EXPECT_EQ(dib.At(22, 31), TitleBandPixel(59, 29));
    EXPECT_EQ(dib.At(23, 2), kWhite);
    EXPECT_EQ(dib.At(2, 2), kWhite);
}

TEST(GdiPlusWrapperTest, ColoursAreRedGreenBlueFromTheHighByteDown) {
    DibSurface dib(60, 40, kUnpainted);
    CGdiPlusWrapper surface;
    ASSERT_EQ(surface.InitializeWrapper2(dib.Dc(), 60, 40, 0x123456, TRUE), 0u);
    EXPECT_EQ(dib.At(30, 20), RGB(0x12, 0x34, 0x56));
    ASSERT_EQ(surface.SetPen(0xA0B0C0, 1.0f), 0u);
    ASSERT_EQ(surface.DrawLine(0, 10, 60, 10), 0u);
    EXPECT_EQ(dib.At(30, 10), RGB(0xA0, 0xB0, 0xC0));
    // One pixel wide.
    EXPECT_EQ(dib.At(30, 9), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(dib.At(30, 11), RGB(0x12, 0x34, 0x56));
}

TEST(GdiPlusWrapperTest, BufferedDrawingReachesTheTargetOnlyWithPresent) {
    DibSurface dib(80, 60, kUnpainted);
    CGdiPlusWrapper surface;
    ASSERT_EQ(surface.InitializeWrapper(dib.Dc(), 50, 40, 0x00FF00, TRUE), 0u);
    ASSERT_EQ(surface.SetPen(0x0000FF, 1.0f), 0u);
    ASSERT_EQ(surface.DrawLine(0, 0, 50, 0), 0u);
    EXPECT_EQ(dib.At(10, 10), kUnpainted);
    ASSERT_EQ(surface.Present(5, 7), 0u);
    EXPECT_EQ(dib.At(5, 8), RGB(0, 255, 0));
    EXPECT_EQ(dib.At(54, 46), RGB(0, 255, 0));
    EXPECT_EQ(dib.At(20, 7), RGB(0, 0, 255));
    EXPECT_EQ(dib.At(55, 20), kUnpainted);
    EXPECT_EQ(dib.At(20, 47), kUnpainted);
    EXPECT_EQ(dib.At(4, 20), kUnpainted);
    // Presenting released the surface.
    EXPECT_EQ(surface.DrawLine(0, 0, 5, 5), kNotReady);
}

// Where `DrawText` puts "Hd" in a 200 x 80 box at (0, 0) with the alignments given.
RECT TextInk(int alignH, int alignV, int width, int height) {
    DibSurface dib(240, 120);
    CGdiPlusWrapper surface;
    EXPECT_EQ(surface.InitializeWrapper2(dib.Dc(), 240, 120, 0xFFFFFF, TRUE), 0u);
    EXPECT_EQ(surface.SetFont(L"Segoe UI", 20, 1), 0u);
    EXPECT_EQ(surface.DrawText(L"Hd", -1, 10, 10, alignH, alignV, width, height), 0u);
    return dib.InkBox();
}

TEST(GdiPlusWrapperTest, TextOfMeasuredSizeIgnoresAlignment) {
    const RECT left = TextInk(0, 0, -1, -1);
    ASSERT_GT(left.right, left.left) << "no text drawn";
    for (int alignH : {1, 2}) {
        for (int alignV : {1, 2}) {
            const RECT other = TextInk(alignH, alignV, -1, -1);
            EXPECT_TRUE(::EqualRect(&left, &other)) << alignH << "," << alignV;
        }
    }
    EXPECT_GE(left.left, 10);
    EXPECT_GE(left.top, 10);
}

TEST(GdiPlusWrapperTest, TextIsCentredOrPushedToTheFarSideOfAGivenBox) {
    const RECT left = TextInk(0, 0, 200, 80);
    const RECT centre = TextInk(1, 1, 200, 80);
    const RECT farSide = TextInk(2, 2, 200, 80);
    ASSERT_GT(left.right, left.left) << "no text drawn";
    // The same ink, moved by equal steps: half the free room, then all of it.
    const int stepX1 = centre.left - left.left, stepX2 = farSide.left - centre.left;
    const int stepY1 = centre.top - left.top, stepY2 = farSide.top - centre.top;
    EXPECT_GT(stepX1, 40);
    EXPECT_NEAR(stepX1, stepX2, 1);
    EXPECT_GT(stepY1, 10);
    EXPECT_NEAR(stepY1, stepY2, 1);
    // Centred: the ink's middle near the box's middle (110, 50).
    EXPECT_NEAR((centre.left + centre.right) / 2, 110, 4);
    EXPECT_NEAR((centre.top + centre.bottom) / 2, 50, 6);
    EXPECT_LE(farSide.right, 210);
    EXPECT_LE(farSide.bottom, 90);
}

// ---------------------------------------------------------------------------------------
// The frame painter

TEST_F(SkinFrameTest, NullWindowOrContextIsAnUnusableArgument) {
    FrameWindow window(100, 60, L"x");
    DibSurface dib(100, 60);
    EXPECT_EQ(DrawSkinFrame(nullptr, dib.Dc()), 87u);
    EXPECT_EQ(DrawSkinFrame(window.Handle(), nullptr), 87u);
}

// Band, border lines and title of a frame painted with the test band.
void ExpectFrame(const DibSurface& dib, int width, int height, bool titled) {
    const RECT title{0, 4, std::min(width, 120), 26};
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < width; ++x) {
            if (::PtInRect(&title, {x, y})) continue;
            ASSERT_EQ(dib.At(x, y), ExpectedBandPixel(x, y, width)) << x << "," << y;
        }
    }
    for (int y = 31; y < height; ++y) {
        ASSERT_EQ(dib.At(0, y), kBorder) << y;
        ASSERT_EQ(dib.At(width - 1, y), kBorder) << y;
    }
    for (int x = 0; x < width; ++x)
        ASSERT_EQ(dib.At(x, height - 1), kBorder) << x;
    if (width > 2 && height > 32) {
        EXPECT_EQ(dib.At(1, height - 2), kWhite);
        EXPECT_EQ(dib.At(width - 2, 31), kWhite);
        EXPECT_EQ(dib.At(width / 2, (height + 30) / 2), kWhite);
    }
    const int dark = dib.Count(title, &IsDark);
    if (titled) {
        EXPECT_GT(dark, 20);
    } else {
        EXPECT_EQ(dark, 0);
    }
}

TEST_F(SkinFrameTest, PaintsBandBorderAndTitleOverTheWholeClientArea) {
    SkinFolder folder(L"SkinFrameBand", TitleBandBmp());
    const SlotEmptiedAtEnd slot;
    LoadSkinBackgrounds(folder.Dir().c_str());
    // Widths: a multiple of the middle piece, one that is not, and two narrower than 40 (the
    // right end then starts left of the middle piece, or left of the window).
    for (const SIZE size : {SIZE{300, 120}, SIZE{333, 80}, SIZE{30, 50}, SIZE{10, 40}}) {
        SCOPED_TRACE(std::to_string(size.cx) + " x " + std::to_string(size.cy));
        // A title cut at a narrow window's edge would still leave ink; that one has none.
        FrameWindow window(size.cx, size.cy, size.cx > 100 ? L"Frame title" : L"");
        DibSurface dib(size.cx, size.cy, kUnpainted);
        ASSERT_EQ(DrawSkinFrame(window.Handle(), dib.Dc()), 0u);
        ExpectFrame(dib, size.cx, size.cy, size.cx > 100);
        EXPECT_EQ(dib.Count({0, 0, size.cx, size.cy}, [](COLORREF c) { return c == kUnpainted; }),
                  0);
    }
    // The title starts at (4, 6), drawn at its measured size in one line.
    {
        FrameWindow window(300, 80, L"Frame title");
        DibSurface dib(300, 80);
        ASSERT_EQ(DrawSkinFrame(window.Handle(), dib.Dc()), 0u);
        DibSurface mask(300, 30);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 300; ++x) {
                if (dib.At(x, y) != ExpectedBandPixel(x, y, 300))
                    ::SetPixel(mask.Dc(), x, y, RGB(0, 0, 0));
            }
        }
        const RECT ink = mask.InkBox();
        EXPECT_GE(ink.left, 4);
        EXPECT_LE(ink.left, 9);
        EXPECT_GE(ink.top, 6);
        EXPECT_LE(ink.top, 14);
        EXPECT_LE(ink.bottom, 30);
        EXPECT_GT(ink.right - ink.left, 40);
    }
    FrameWindow untitled(200, 80, L"");
    DibSurface dib(200, 80);
    ASSERT_EQ(DrawSkinFrame(untitled.Handle(), dib.Dc()), 0u);
    ExpectFrame(dib, 200, 80, false);
}

TEST_F(SkinFrameTest, WithoutTheBandFileTheFrameIsWhiteWithLinesAndTitle) {
    SkinFolder folder(L"SkinFrameNoBand", "");
    const SlotEmptiedAtEnd slot;
    LoadSkinBackgrounds(folder.Dir().c_str());
    FrameWindow window(200, 80, L"Frame title");
    DibSurface dib(200, 80, kUnpainted);
    ASSERT_EQ(DrawSkinFrame(window.Handle(), dib.Dc()), 0u);
    EXPECT_EQ(dib.At(150, 2), kWhite);
    EXPECT_EQ(dib.At(5, 28), kWhite);
    EXPECT_EQ(dib.At(0, 60), kBorder);
    EXPECT_EQ(dib.At(199, 60), kBorder);
    EXPECT_EQ(dib.At(100, 79), kBorder);
    EXPECT_GT(dib.Count({0, 4, 120, 26}, &IsDark), 20);
}

TEST_F(SkinFrameTest, BeforeAnyLoadTheFrameIsPlainWhite) {
    LoadSkinBackgrounds(nullptr);
    FrameWindow window(200, 80, L"Frame title");
    DibSurface dib(200, 80, kUnpainted);
    ASSERT_EQ(DrawSkinFrame(window.Handle(), dib.Dc()), 0u);
    EXPECT_EQ(dib.Count({0, 0, 200, 80}, [](COLORREF c) { return c == kWhite; }), 200 * 80);
}

TEST_F(SkinFrameTest, TooLongAFolderEmptiesTheSlotAndIsLogged) {
    SkinFolder folder(L"SkinFrameLong", TitleBandBmp());
    const SlotEmptiedAtEnd slot;
    LoadSkinBackgrounds(folder.Dir().c_str());
    // The log goes to the temporary folder; this test's own, for the time of the call.
    TempFolder temp(L"SkinFrameLongTemp");
    wchar_t savedTemp[MAX_PATH] = {}, savedTmp[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"TEMP", savedTemp, MAX_PATH);
    ::GetEnvironmentVariableW(L"TMP", savedTmp, MAX_PATH);
    ::SetEnvironmentVariableW(L"TEMP", temp.Dir().c_str());
    ::SetEnvironmentVariableW(L"TMP", temp.Dir().c_str());
    LoadSkinBackgrounds(std::wstring(240, L'a').c_str());
    ::SetEnvironmentVariableW(L"TEMP", savedTemp);
    ::SetEnvironmentVariableW(L"TMP", savedTmp);

    const std::string log = temp.Read(L"virget_unit_test.exe.log");
    EXPECT_FALSE(log.empty()) << "the refusal is logged";
    FrameWindow window(100, 60, L"");
    DibSurface dib(100, 60, kUnpainted);
    ASSERT_EQ(DrawSkinFrame(window.Handle(), dib.Dc()), 0u);
    EXPECT_EQ(dib.Count({0, 0, 100, 60}, [](COLORREF c) { return c == kWhite; }), 100 * 60);
}

// A dialog on a worker thread (the message dialog of a protection worker) reloads the band
// while the settings dialog paints with it: no crash, and every frame is whole.
TEST_F(SkinFrameTest, BandSurvivesReloadsFromAnotherThreadWhileFramesArePainted) {
    const COLORREF otherBand = RGB(0xF0, 0xD0, 0x80);
    SkinFolder first(L"SkinFrameThreadA", TitleBandBmp());
    SkinFolder second(L"SkinFrameThreadB", SolidBmp24(60, 30, otherBand));
    const SlotEmptiedAtEnd slot;
    LoadSkinBackgrounds(first.Dir().c_str());

    constexpr int kRounds = 300;
    std::atomic<bool> loading{true};
    std::thread loader([&] {
        for (int i = 0; i < kRounds; ++i)
            LoadSkinBackgrounds((i % 2 ? first : second).Dir().c_str());
        loading = false;
    });

    // This thread owns the window, as a dialog's thread does, and keeps painting it.
    constexpr int kWidth = 160, kHeight = 60;
    FrameWindow window(kWidth, kHeight, L"");
    DibSurface dib(kWidth, kHeight);
    int frames = 0, torn = 0, failed = 0;
    while (loading || frames < kRounds) {
        dib.Fill(kUnpainted);
        failed += DrawSkinFrame(window.Handle(), dib.Dc()) != 0 ? 1 : 0;
        // Left end, a middle piece and the right end all come from one image.
        const COLORREF left = dib.At(3, 12), middle = dib.At(85, 12),
                       right = dib.At(kWidth - 3, 12);
        const bool firstBand = left == ExpectedBandPixel(3, 12, kWidth) &&
                               middle == ExpectedBandPixel(85, 12, kWidth) &&
                               right == ExpectedBandPixel(kWidth - 3, 12, kWidth);
        const bool secondBand = left == otherBand && middle == otherBand && right == otherBand;
        torn += (firstBand || secondBand) && dib.At(0, 45) == kBorder ? 0 : 1;
        ++frames;
    }
    loader.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(torn, 0) << "of " << frames << " frames";
    EXPECT_GE(frames, kRounds);
}

// ---------------------------------------------------------------------------------------
// Point sizes

TEST(PointSizeTest, PointsBecomeANegativeHeightAtTheDisplaysResolution) {
    HDC screen = ::GetDC(nullptr);
    const int resolution = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(PointSizeToLogHeight(8), -::MulDiv(8, resolution, 72));
    EXPECT_EQ(PointSizeToLogHeight(10), -::MulDiv(10, resolution, 72));
    EXPECT_EQ(PointSizeToLogHeight(72), -resolution);
    EXPECT_EQ(PointSizeToLogHeight(0), 0);
}

}  // namespace
