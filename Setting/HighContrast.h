// The platform's high-contrast mode, as the module's windows follow it. While it is on, every
// window draws with the system colours (window, window text, button face and text, highlight,
// hot-light for the link, grey text for what is disabled) instead of the skin's images and
// fixed colours, with the same layout. The answer is taken when a window of the module opens
// and again whenever the platform says that a setting or the system colours changed (each
// dialog's CDialogAccess); the painters read the answer taken last.
#pragma once

#include <windows.h>

#include <cstdint>

namespace high_contrast {

// Whether the mode was on when the platform was last asked.
bool IsOn();
// Asks the platform again; true when the answer changed.
bool Ask();
// A system colour (a GetSysColor index).
COLORREF Colour(int index);
// The system colours the module draws with in high contrast, folded into the upper 48 bits
// of a number: what is composed from them is kept only while they stay the same.
uint64_t PaletteBits();

}  // namespace high_contrast
