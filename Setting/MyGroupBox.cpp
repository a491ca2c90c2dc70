#include "MyGroupBox.h"

#include "ExceptionWrapper.h"
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
    if (!m_frameImage) m_frameImage = LoadSkinImage(m_tszBmpPath);
    if (!m_frameImage) return;
    Gdiplus::Graphics graphics(dc);
    Gdiplus::Image* bmp = m_frameImage.get();
    const int right = std::min<int>(m_rcClient.right, kMaxExtent);
    const int bottom = std::min<int>(m_rcClient.bottom, kMaxExtent);

    // Corners and edge runs in this order: a later piece covers an earlier one where they
    // overlap (narrow or low frames, the last piece of a run under the next corner).
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
