// Where the skinned windows cut their pieces from the skin's images, and where they draw them:
// the title band, the close box and the group frames, in pixels at 96 dpi, and the colours of
// the texts drawn on them. The painters draw from these numbers; settingcheck demands images
// large enough for them and light or dark enough for the texts.
#pragma once

namespace skin {

// A part of an image.
struct Cut {
    int x, y, width, height;
    constexpr int Right() const { return x + width; }
    constexpr int Bottom() const { return y + height; }
};

// ---- The title band: the top of every skinned window, drawn from wndbk.png ----------------

constexpr wchar_t kBandImage[] = L"\\skin\\default\\frame\\wndbk.png";  // under the host's folder
constexpr int kBandHeight = 30;  // rows 0..29; a press down to row 30 drags the window
constexpr int kBandEnd = 20;     // the band's ends, as drawn scaled
// At 96 dpi the left end is cut 30 wide; the middle, repeated from x 20, covers its last 10.
constexpr Cut kBandLeft{0, 0, 30, kBandHeight};
constexpr Cut kBandMiddle{20, 0, 20, kBandHeight};
constexpr Cut kBandRight{40, 0, kBandEnd, kBandHeight};

// The window's text as title, in 13-pixel bold "Segoe UI", from x 4, y 6.
constexpr int kTitleLeft = 4;
constexpr int kTitleTop = 6;
constexpr int kTitlePixels = 13;

// ---- The close box at the top right of the settings dialog --------------------------------

// Cut from the image that IDC_BTNS names, drawn at (width - 35, 1) 30 x 30 with white clear.
constexpr Cut kCloseBoxCell{20, 0, 30, 25};
constexpr int kCloseBoxFromRight = 35;
constexpr int kCloseBoxDrawnTop = 1;
// A press ends the dialog in the 30 x 30 square from y 3 at the right edge.
constexpr int kCloseBoxSize = 30;
constexpr int kCloseBoxTop = 3;

// ---- The group frames, drawn from Line_Frame.bmp ------------------------------------------

constexpr wchar_t kFrameImage[] = L"\\Skin\\default\\frame\\Line_Frame.bmp";
// Nine 6 x 6 pieces: corners, edges and (unused) middle at x and y 0, 6 and 15.
constexpr int kFramePiece = 6;
constexpr int kFramePieceAt[3] = {0, 6, 15};
constexpr int kFrameTop = 9;        // the frame starts 9 pixels below the control's top
constexpr int kCaptionLeft = 9;     // the caption starts 9 pixels right of the control's left
constexpr int kCaptionPoints = 10;  // in bold "Segoe UI"

// ---- The OK button's caption --------------------------------------------------------------

constexpr int kButtonCaptionPixels = 11;  // bold "Segoe UI"

// ---- Colours, as 0xRRGGBB ------------------------------------------------------------------

// The ground under the skin's images: the title band and the OK button's faces are drawn over
// it, and it shows where they have no pixel (or a transparent one).
constexpr unsigned kGroundColour = 0xFFFFFF;
// The texts drawn on the skin's images: the window's title on the band, the OK caption on its
// faces. settingcheck measures their contrast against the images.
constexpr unsigned kTitleColour = 0x000000;
constexpr unsigned kButtonCaptionColour = 0xFFFFFF;

}  // namespace skin
