#include "SkinImages.h"

#include "SkinGeometry.h"

namespace settingcheck {

namespace {

std::string Span(const char* axis, int from, int to) {
    return std::string(axis) + " " + std::to_string(from) + " to " + std::to_string(to - 1);
}

std::string Piece(const skin::Cut& cut) {
    return "(" + std::to_string(cut.x) + "," + std::to_string(cut.y) + "," +
           std::to_string(cut.width) + "," + std::to_string(cut.height) + ")";
}

}  // namespace

std::string Size(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string CloseBoxCell() {
    const skin::Cut& cell = skin::kCloseBoxCell;
    return "its cell " + Span("x", cell.x, cell.Right()) + ", " + Span("y", cell.y, cell.Bottom());
}

std::vector<FixedImage> FixedImages() {
    using namespace skin;
    std::string at;
    for (int origin : kFramePieceAt)
        at += (at.empty() ? "" : ", ") + std::to_string(origin);
    const int frameSide = kFramePieceAt[2] + kFramePiece;
    return {
        {kBandImage, kBandRight.Right(), kBandHeight,
         "the title band of the settings, message and waiting windows is cut from it: left end " +
             Piece(kBandLeft) + ", middle " + Piece(kBandMiddle) + " repeated, right end " +
             Piece(kBandRight)},
        {kFrameImage, frameSide, frameSide,
         "the five group frames are cut from it: eight " + Size(kFramePiece, kFramePiece) +
             " pieces at x " + at + " and y " + at},
    };
}

}  // namespace settingcheck
