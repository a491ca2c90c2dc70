// The frame of the skinned dialogs: the title-band image shared by every dialog of the
// process, the painter of the frame, and the point-size conversion of the skinned controls.
#pragma once

#include <windows.h>

#include <string>

// (Re)loads the title-band image "<directory>\skin\default\frame\wndbk.png" into the
// process-wide slot. A null directory only empties the slot. A directory too long for the
// path buffer is refused: the slot is emptied and the refusal logged.
void LoadSkinBackgrounds(const wchar_t* directory);
// Empties the slot for good; called at module unload while GDI+ still runs.
void ReleaseSkinBackgrounds();

// Paints the whole client area of `window` onto `dc`: white ground, the title band, the
// border lines and the window text as title, drawn off-screen and copied in one step.
// 0 when painted; otherwise the status of the failure (the caller then erases the default
// way).
DWORD DrawSkinFrame(HWND window, HDC dc);

// Logical font height for `points` on the display (negative, as LOGFONT wants it).
int PointSizeToLogHeight(int points);

// Answers WM_CTLCOLORSTATIC and WM_CTLCOLORBTN of a skinned dialog: its controls stand on
// the white ground of the frame.
LRESULT SkinControlColor(HDC dc);
