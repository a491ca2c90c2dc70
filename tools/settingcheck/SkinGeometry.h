// The parts the module cuts from its skin images: the least sizes the checker demands and
// the key reference lists.
#pragma once

namespace settingcheck {

// Images at fixed places under the program's folder.
struct FixedImage {
    const wchar_t* path;  // relative, with its leading backslash, as the module writes it
    int minWidth, minHeight;
    const char* use;
};
constexpr FixedImage kFixedImages[] = {
    {L"\\skin\\default\\frame\\wndbk.png", 60, 30,
     "the title band of the settings, message and waiting windows is cut from it: left end "
     "(0,0,30,30), middle (20,0,20,30) repeated, right end (40,0,20,30)"},
    {L"\\Skin\\default\\frame\\Line_Frame.bmp", 21, 21,
     "the five group frames are cut from it: eight 6 x 6 pieces at x 0, 6, 15 and y 0, 6, 15"},
};

// The close box is the cell x 20..49, y 0..24 of the image named by IDC_BTNS.
constexpr int kCloseBoxCellRight = 50, kCloseBoxCellBottom = 25;

}  // namespace settingcheck
