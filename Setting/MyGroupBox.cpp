#include "MyGroupBox.h"

#include <algorithm>
#include <array>
#include <deque>
#include <mutex>

#include "Dpi.h"
#include "ExceptionWrapper.h"
#include "FileStamp.h"
#include "GdiPlus.h"
#include "HighContrast.h"
#include "HostPath.h"
#include "KeptPicture.h"
#include "SkinFrame.h"
#include "SkinGeometry.h"
#include "Trace.h"

namespace {

constexpr size_t kPathCapacity = MAX_PATH;
using skin::kCaptionLeft;
using skin::kFramePieceAt;
using skin::kFrameTop;
constexpr int kPiece = skin::kFramePiece;
// Pieces beyond this many per edge cannot be visible on any display; the limit keeps an
// absurd configured size from making a paint take forever.
constexpr int kMaxExtent = 32767;

// The nine pieces of the frame bitmap at one dpi: at 96 dpi (or from a larger copy of the
// right size) the bitmap itself; otherwise a sheet of 3 x 3 cells, each piece scaled once with
// sharp pixel edges, so that the edges are the scaled pieces repeated as at 96 dpi.
class PieceSheet {
public:
    PieceSheet(const SkinImage& bmp, UINT dpi)
        : m_piece(dpi::Scale(kPiece, dpi)), m_top(dpi::Scale(kFrameTop, dpi)) {
        const int f = bmp.factor;
        if (m_piece == kPiece * f) {
            m_image = bmp.get();
            m_offsets = {kFramePieceAt[0] * f, kFramePieceAt[1] * f, kFramePieceAt[2] * f};
            return;
        }
        m_scaled =
            std::make_unique<Gdiplus::Bitmap>(3 * m_piece, 3 * m_piece, PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(m_scaled.get());
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                DrawImageScaled(graphics, bmp.get(),
                                Gdiplus::Rect(column * m_piece, row * m_piece, m_piece, m_piece),
                                Gdiplus::Rect(kFramePieceAt[column] * f, kFramePieceAt[row] * f,
                                              kPiece * f, kPiece * f),
                                true);
            }
        }
        m_image = m_scaled.get();
        m_offsets = {0, m_piece, 2 * m_piece};
    }
    Gdiplus::Image* Image() const { return m_image; }
    int Piece() const { return m_piece; }
    int Top() const { return m_top; }
    // The piece in `column` and `row` (0 left or top, 1 edge, 2 right or bottom).
    Gdiplus::Rect At(int column, int row) const {
        return Gdiplus::Rect(m_offsets[column], m_offsets[row], m_piece, m_piece);
    }

private:
    int m_piece;
    int m_top;
    Gdiplus::Image* m_image = nullptr;
    std::array<int, 3> m_offsets{};
    std::unique_ptr<Gdiplus::Bitmap> m_scaled;
};

// The frame of a `right` x `bottom` area from the nine pieces. Corners and edge runs in this
// order: a later piece covers an earlier one where they overlap (narrow or low frames, the
// last piece of a run under the next corner). Everything drawn lies in the four strips one
// piece wide along the edges of the rectangle from (0, top) to (right, bottom).
void DrawPieces(HDC dc, const PieceSheet& sheet, int right, int bottom) {
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Image* image = sheet.Image();
    const int p = sheet.Piece();
    const int top = sheet.Top();
    const auto corner = [&](int x, int y, int column, int row) {
        const Gdiplus::Rect piece = sheet.At(column, row);
        graphics.DrawImage(image, Gdiplus::Rect(x, y, p, p), piece.X, piece.Y, p, p,
                           Gdiplus::UnitPixel, nullptr);
    };
    const auto run = [&](int column, int row, int start, int limit, int across, bool horizontal) {
        DrawPieceRun(graphics, image, sheet.At(column, row), start, limit, across, horizontal);
    };
    corner(0, top, 0, 0);
    run(1, 0, p, right - p, top, true);
    corner(right - p, top, 2, 0);
    run(0, 1, top + p, bottom - p, 0, false);
    corner(0, bottom - p, 0, 2);
    run(1, 2, p, right - p, bottom - p, true);
    run(2, 1, top + p, bottom - p, right - p, false);
    corner(right - p, bottom - p, 2, 2);
}

// Frames drawn before, kept for the group boxes of later paints and openings: drawing the
// pieces with GDI+ costs about a millisecond a frame, copying the four strips a few
// microseconds. A frame is kept for the bitmap file as it was when its image was decoded, and
// for its size; only frames of ordinary sizes are kept.
class KeptFrames {
public:
    // Copies the frame into `dc`, drawing and keeping it first when needed; false when it
    // cannot be kept (the caller draws it itself).
    bool Copy(HDC dc, const SkinImage& bmp, const std::wstring& path, const FileStamp& stamp,
              int right, int bottom, UINT dpi) {
        const int p = dpi::Scale(kPiece, dpi);
        const int top = dpi::Scale(kFrameTop, dpi);
        if (right < 2 * p || bottom < top + 2 * p || right > kMaxKeptSide ||
            bottom > kMaxKeptSide) {
            return false;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        Frame* frame = Find(path, stamp, right, bottom, dpi);
        if (!frame) frame = Make(dc, bmp, path, stamp, right, bottom, dpi);
        if (!frame) return false;
        const HDC from = frame->dc.get();
        const int sideHeight = bottom - top - 2 * p;
        ::BitBlt(dc, 0, top, right, p, from, 0, top, SRCCOPY);
        ::BitBlt(dc, 0, bottom - p, right, p, from, 0, bottom - p, SRCCOPY);
        ::BitBlt(dc, 0, top + p, p, sideHeight, from, 0, top + p, SRCCOPY);
        ::BitBlt(dc, right - p, top + p, p, sideHeight, from, right - p, top + p, SRCCOPY);
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
        UINT dpi = 0;
        ui::UniqueBitmap bitmap;  // declared before the DC: the DC goes first
        ui::UniqueDc dc;          // holds the bitmap selected
    };

    Frame* Find(const std::wstring& path, const FileStamp& stamp, int right, int bottom, UINT dpi) {
        for (Frame& frame : m_frames) {
            if (frame.right == right && frame.bottom == bottom && frame.dpi == dpi &&
                frame.stamp == stamp && frame.path == path) {
                return &frame;
            }
        }
        return nullptr;
    }

    // The pieces are scaled here only: a kept frame is copied without them.
    Frame* Make(HDC compatible, const SkinImage& bmp, const std::wstring& path,
                const FileStamp& stamp, int right, int bottom, UINT dpi) {
        Frame frame{path, stamp, right, bottom, dpi, nullptr, nullptr};
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
        DrawPieces(frame.dc.get(), PieceSheet(bmp, dpi), right, bottom);
        ::GdiFlush();
        if (m_frames.size() >= kMaxKept) m_frames.pop_front();
        m_frames.push_back(std::move(frame));
        return &m_frames.back();
    }

    std::mutex m_mutex;
    std::deque<Frame> m_frames;  // oldest first
};

KeptFrames g_keptFrames;

}  // namespace

CMyGroupBox::CMyGroupBox() {
    const std::wstring dir = HostDirectory();
    const std::wstring path = dir + skin::kFrameImage;
    if (!dir.empty() && path.size() < kPathCapacity) m_tszBmpPath = path;
    DebugTrace(L"---------------m_tszBmpPath-----------");
    DebugTrace(L"%s", m_tszBmpPath.c_str());
}

void CMyGroupBox::SetFont(const wchar_t* faceName, int points, int bold, BOOL underline,
                          BOOL /*redraw*/) {
    m_logFont = LOGFONTW{};
    m_logFont.lfWeight = bold > 0 ? FW_BOLD : FW_NORMAL;
    m_logFont.lfUnderline = underline ? TRUE : FALSE;
    if (faceName) wcsncpy(m_logFont.lfFaceName, faceName, LF_FACESIZE - 1);
    m_nBold = bold;
    m_nPoints = points;
    MakeFont();
    if (m_hWnd) Redraw();
}

void CMyGroupBox::SetDpi(UINT dpi) {
    m_dpi = dpi;
    if (m_nPoints) MakeFont();
    if (m_hWnd) Redraw();
}

UINT CMyGroupBox::Dpi() const {
    return m_dpi ? m_dpi : dpi::OfWindow(m_hWnd);
}

void CMyGroupBox::MakeFont() {
    m_logFont.lfHeight = PointSizeToLogHeight(m_nPoints, Dpi());
    m_font.reset(::CreateFontIndirectW(&m_logFont));
}

LRESULT CMyGroupBox::OnPaint(WPARAM, LPARAM, bool&) {
    // Everything is drawn while the background is erased; this only opens and closes the
    // paint cycle, which sends WM_ERASEBKGND with the paint context.
    ui::PaintDc paint(m_hWnd);
    return 0;
}

LRESULT CMyGroupBox::OnEraseBkgnd(WPARAM wParam, LPARAM lParam, bool&) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    const std::wstring caption = GetText();
    m_rcClient = ClientRect();
    const UINT dpi = Dpi();
    const bool contrast = high_contrast::IsOn();
    if (contrast && dc) {
        DrawHighContrastFrame(dc, dpi);
    } else {
        DrawFrame(dc, dpi);
    }
    if (dc) DrawCaption(dc, caption, dpi, contrast);
    return DefaultProcessing(WM_ERASEBKGND, wParam, lParam);
}

// The caption across the frame's top edge, on its own ground: composed once for its text,
// font, dpi and colours, then copied at every paint. A caption of several lines leaves the
// frame showing beside its shorter lines, so it is drawn as it stands at every paint.
void CMyGroupBox::DrawCaption(HDC dc, const std::wstring& caption, UINT dpi, bool contrast) const {
    ui::SelectGuard font(dc, m_font.get());
    if (contrast) {
        ::SetTextColor(dc, high_contrast::Colour(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, high_contrast::Colour(COLOR_WINDOW));
        ::SetBkMode(dc, OPAQUE);
    }
    RECT area = m_rcClient;
    area.left = dpi::Scale(kCaptionLeft, dpi);
    const UINT format = DT_LEFT | DT_TOP | DT_NOPREFIX;
    const int length = static_cast<int>(caption.size());
    const bool oneLine = caption.find_first_of(L"\r\n") == std::wstring::npos;
    // Only an opaque caption covers its whole box, which is what is kept.
    if (!oneLine || ::GetBkMode(dc) != OPAQUE) {
        ::DrawTextW(dc, caption.c_str(), length, &area, format);
        return;
    }
    RECT box = area;
    ::DrawTextW(dc, caption.c_str(), length, &box, format | DT_CALCRECT);
    if (!::IntersectRect(&box, &box, &area)) return;
    const auto current = static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT));
    const COLORREF textColour = ::GetTextColor(dc);
    const COLORREF ground = ::GetBkColor(dc);
    PictureKey key(L"group caption", box, dpi, caption);
    key.drawnWith = kept_pictures::DescribeFont(current);
    key.variant = contrast ? 1 : 0;
    key.colours = (static_cast<uint64_t>(textColour) << 32) | ground;
    kept_pictures::Copy(dc, box.left, box.top, key, ground, [&](HDC picture) {
        ui::SelectGuard pictureFont(picture, current);
        ::SetTextColor(picture, textColour);
        ::SetBkColor(picture, ground);
        ::SetBkMode(picture, OPAQUE);
        RECT inPicture = area;
        ::OffsetRect(&inPicture, -box.left, -box.top);
        ::DrawTextW(picture, caption.c_str(), length, &inPicture, format);
        Composed composed;
        composed.keep = true;
        return composed;
    });
}

// High contrast: the frame's line where the skin's bitmap draws it (the outer pixel of its
// pieces), in the window text colour.
void CMyGroupBox::DrawHighContrastFrame(HDC dc, UINT dpi) const {
    const int right = m_rcClient.right;
    const int bottom = m_rcClient.bottom;
    const int top = dpi::Scale(kFrameTop, dpi);
    const int line = std::max(1, dpi::Scale(1, dpi));
    HBRUSH brush = ::GetSysColorBrush(COLOR_WINDOWTEXT);
    for (const RECT& side : {RECT{0, top, right, top + line}, RECT{0, bottom - line, right, bottom},
                             RECT{0, top, line, bottom}, RECT{right - line, top, right, bottom}}) {
        ::FillRect(dc, &side, brush);
    }
}

void CMyGroupBox::DrawFrame(HDC dc, UINT dpi) {
    if (!dc) {
        CExceptionWrapper(ERROR_INVALID_PARAMETER, __LINE__, L"MyGroupBox")
            .WriteLog(CExceptionWrapper::kToLogFile);
        return;
    }
    if (m_tszBmpPath.empty()) return;
    // Decoded at the first paint and kept: the frame looks the same at every paint.
    if (!m_frameImage || m_frameImageDpi != dpi) {
        m_frameStamp = FileStamp::Of(m_tszBmpPath);
        m_frameImage = LoadSkinImageFor(m_tszBmpPath, dpi);
        m_frameImageDpi = dpi;
    }
    if (!m_frameImage) return;
    const int right = std::min<int>(m_rcClient.right, kMaxExtent);
    const int bottom = std::min<int>(m_rcClient.bottom, kMaxExtent);
    if (g_keptFrames.Copy(dc, m_frameImage, m_tszBmpPath, m_frameStamp, right, bottom, dpi)) {
        return;
    }
    DrawPieces(dc, PieceSheet(m_frameImage, dpi), right, bottom);
}
