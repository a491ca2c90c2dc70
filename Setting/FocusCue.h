// The focus cue of the module's skinned controls (the OK button, the resize link and the close
// box), drawn while they have the keyboard focus and the platform shows keyboard cues: a
// dotted rectangle whose dots alternate between two colours, so that it shows on any skin,
// one device-independent pixel wide (two from 150 % up).
#pragma once

#include <windows.h>

// The colours of the cue: black and white over the skin; in high contrast the control's own
// text and ground colours.
struct FocusCueColours {
    COLORREF first;
    COLORREF second;
};
FocusCueColours SkinFocusCueColours();

// Draws the cue along the inside of `around`.
void DrawFocusCue(HDC dc, const RECT& around, UINT dpi, const FocusCueColours& colours);
