#include "MyGroupBox.h"

#include <algorithm>
#include <deque>
#include <mutex>

#include "ExceptionWrapper.h"
#include "FileStamp.h"
#include "GdiPlus.h"
#include "HostPath.h"
#include "SkinFrame.h"
#include "Trace.h"

namespace {

constexpr size_t kPathCapacity = MAX_PATH;
constexpr wchar_t kFrameBitmapSuffix[] = L"\\Skin\\default\\frame\\Line_Frame.bmp";
constexpr int kPiece = 6;        // every piece of the nine-slice bitmap is 6 x 6 pixels
constexpr int kFrameTop = 9;     // the frame starts 9 pixels below the control's top
constexpr int kCaptionLeft = 9;  // the caption starts 9 pixels right of the control's left
// Pieces beyond this many per edge cannot be visible on any display; the limit keeps an
// absurd configured size from making a paint take forever.
constexpr int kMaxExtent = 32767;

void DrawPiece(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y, int srcX,
               int srcY) {
    graphics.DrawImage(image, Gdiplus::Rect(x, y, kPiece, kPiece), srcX, srcY, kPiece, kPiece,
                       Gdiplus::UnitPixel, nullptr);
}

// The frame of a `right` x `bottom` area from the nine-slice bitmap. Corners and edge runs in
// this order: a later piece covers an earlier one where they overlap (narrow or low frames,
// the last piece of a run under the next corner). Everything drawn lies in the four strips
// kPiece wide along the edges of the rectangle from (0, kFrameTop) to (right, bottom).
void DrawPieces(HDC dc, Gdiplus::Image* bmp, int right, int bottom) {
    Gdiplus::Graphics graphics(dc);
    const auto edge = [&](int srcX, int srcY) { return Gdiplus::Rect(srcX, srcY, kPiece, kPiece); };
    DrawPiece(graphics, bmp, 0, kFrameTop, 0, 0);
    DrawPieceRun(graphics, bmp, edge(6, 0), kPiece, right - kPiece, kFrameTop, true);
    DrawPiece(graphics, bmp, right - kPiece, kFrameTop, 15, 0);
    DrawPieceRun(graphics, bmp, edge(0, 6), kFrameTop + kPiece, bottom - kPiece, 0, false);
    DrawPiece(graphics, bmp, 0, bottom - kPiece, 0, 15);
    DrawPieceRun(graphics, bmp, edge(6, 15), kPiece, right - kPiece, bottom - kPiece, true);
    DrawPieceRun(graphics, bmp, edge(15, 6), kFrameTop + kPiece, bottom - kPiece, right - kPiece,
                 false);
    DrawPiece(graphics, bmp, right - kPiece, bottom - kPiece, 15, 15);
}

// Frames drawn before, kept for the group boxes of later paints and openings: drawing the
// pieces with GDI+ costs about a millisecond a frame, copying the four strips a few
// microseconds. A frame is kept for the bitmap file as it was when its image was decoded, and
// for its size; only frames of ordinary sizes are kept.
class KeptFrames {
public:
    // Copies the frame into `dc`, drawing and keeping it first when needed; false when it
    // cannot be kept (the caller draws it itself).
    bool Copy(HDC dc, Gdiplus::Image* bmp, const std::wstring& path, const FileStamp& stamp,
              int right, int bottom) {
        if (right < 2 * kPiece || bottom < kFrameTop + 2 * kPiece || right > kMaxKeptSide ||
            bottom > kMaxKeptSide) {
            return false;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        Frame* frame = Find(path, stamp, right, bottom);
        if (!frame) frame = Make(dc, bmp, path, stamp, right, bottom);
        if (!frame) return false;
        const HDC from = frame->dc.get();
        const int sideHeight = bottom - kFrameTop - 2 * kPiece;
        ::BitBlt(dc, 0, kFrameTop, right, kPiece, from, 0, kFrameTop, SRCCOPY);
        ::BitBlt(dc, 0, bottom - kPiece, right, kPiece, from, 0, bottom - kPiece, SRCCOPY);
        ::BitBlt(dc, 0, kFrameTop + kPiece, kPiece, sideHeight, from, 0, kFrameTop + kPiece,
                 SRCCOPY);
        ::BitBlt(dc, right - kPiece, kFrameTop + kPiece, kPiece, sideHeight, from, right - kPiece,
                 kFrameTop + kPiece, SRCCOPY);
        return true;
    }

private:
    static constexpr int kMaxKeptSide = 2048;
    static constexpr size_t kMaxKept = 8;  // five frames in the settings dialog

    struct Frame {
        std::wstring path;
        FileStamp stamp;
        int right = 0;
        int bottom = 0;
        ui::UniqueBitmap bitmap;  // declared before the DC: the DC goes first
        ui::UniqueDc dc;          // holds the bitmap selected
    };

    Frame* Find(const std::wstring& path, const FileStamp& stamp, int right, int bottom) {
        for (Frame& frame : frames_) {
            if (frame.right == right && frame.bottom == bottom && frame.stamp == stamp &&
                frame.path == path) {
                return &frame;
            }
        }
        return nullptr;
    }

    Frame* Make(HDC compatible, Gdiplus::Image* bmp, const std::wstring& path,
                const FileStamp& stamp, int right, int bottom) {
        Frame frame{path, stamp, right, bottom, nullptr, nullptr};
        frame.dc.reset(::CreateCompatibleDC(compatible));
        // 32-bit pixels whatever `compatible` holds (a memory context may hold a monochrome
        // bitmap, and a bitmap compatible with it would be monochrome too).
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = right;
        info.bmiHeader.biHeight = -bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        frame.bitmap.reset(
            ::CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!frame.dc || !frame.bitmap) return nullptr;
        ::SelectObject(frame.dc.get(), frame.bitmap.get());
        // Under the pieces the white of the dialog, as when they are drawn on the dialog.
        const RECT all{0, 0, right, bottom};
        ::FillRect(frame.dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        DrawPieces(frame.dc.get(), bmp, right, bottom);
        ::GdiFlush();
        if (frames_.size() >= kMaxKept) frames_.pop_front();
        frames_.push_back(std::move(frame));
        return &frames_.back();
    }

    std::mutex mutex_;
    std::deque<Frame> frames_;  // oldest first
};

KeptFrames g_keptFrames;

}  // namespace

CMyGroupBox::CMyGroupBox() {
    const std::wstring dir = HostDirectory();
    const std::wstring path = dir + kFrameBitmapSuffix;
    if (!dir.empty() && path.size() < kPathCapacity) m_tszBmpPath = path;
    DebugTrace(L"---------------m_tszBmpPath-----------");
    DebugTrace(L"%s", m_tszBmpPath.c_str());
}

void CMyGroupBox::SetFont(const wchar_t* faceName, int points, int bold, BOOL underline,
                          BOOL /*redraw*/) {
    LOGFONTW font{};
    font.lfHeight = PointSizeToLogHeight(points);
    font.lfWeight = bold > 0 ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = underline ? TRUE : FALSE;
    if (faceName) wcsncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    m_nBold = bold;
    m_font.reset(::CreateFontIndirectW(&font));
    if (hwnd_) Redraw();
}

LRESULT CMyGroupBox::OnPaint(WPARAM, LPARAM, bool&) {
    // Everything is drawn while the background is erased; this only opens and closes the
    // paint cycle, which sends WM_ERASEBKGND with the paint context.
    ui::PaintDc paint(hwnd_);
    return 0;
}

LRESULT CMyGroupBox::OnEraseBkgnd(WPARAM wParam, LPARAM lParam, bool&) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    const std::wstring caption = GetText();
    m_rcClient = ClientRect();
    DrawFrame(dc);
    if (dc) {
        ui::SelectGuard font(dc, m_font.get());
        RECT text = m_rcClient;
        text.left = kCaptionLeft;
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_LEFT | DT_TOP | DT_NOPREFIX);
    }
    return DefaultProcessing(WM_ERASEBKGND, wParam, lParam);
}

void CMyGroupBox::DrawFrame(HDC dc) {
    if (!dc) {
        CExceptionWrapper(ERROR_INVALID_PARAMETER, __LINE__, L"MyGroupBox")
            .WriteLog(CExceptionWrapper::kToLogFile);
        return;
    }
    if (m_tszBmpPath.empty()) return;
    // Decoded at the first paint and kept: the frame looks the same at every paint.
    if (!m_frameImage) {
        m_frameStamp = FileStamp::Of(m_tszBmpPath);
        m_frameImage = LoadSkinImage(m_tszBmpPath);
    }
    if (!m_frameImage) return;
    const int right = std::min<int>(m_rcClient.right, kMaxExtent);
    const int bottom = std::min<int>(m_rcClient.bottom, kMaxExtent);
    if (g_keptFrames.Copy(dc, m_frameImage.get(), m_tszBmpPath, m_frameStamp, right, bottom)) {
        return;
    }
    DrawPieces(dc, m_frameImage.get(), right, bottom);
}
