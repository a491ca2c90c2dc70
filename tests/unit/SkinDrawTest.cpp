// The shared title-band image, reloaded by a dialog on another thread (the message dialog of a
// protection worker) while the settings dialog paints its frame with it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DibSurface.h"
#include "GdiPlus.h"
#include "GdiPlusWrapper.h"
#include "SkinFrame.h"
#include "TempFolder.h"
#include "TestImages.h"

using namespace testsupport;

namespace {

constexpr COLORREF kBorder = RGB(0x64, 0x72, 0x7C);
constexpr COLORREF kUnpainted = RGB(1, 2, 3);

// A hidden top-level window whose client area is exactly width x height.
class FrameWindow {
public:
    FrameWindow(int width, int height, const wchar_t* title) {
        m_hWnd = ::CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, width, height, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~FrameWindow() { ::DestroyWindow(m_hWnd); }
    FrameWindow(const FrameWindow&) = delete;
    FrameWindow& operator=(const FrameWindow&) = delete;
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
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
// The frame painter

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
        failed += DrawSkinFrame(window.Handle(), dib.Dc(), 96) != 0 ? 1 : 0;
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

}  // namespace
