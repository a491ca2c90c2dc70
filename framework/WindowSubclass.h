// Window procedures layered over a window's own, as SetWindowSubclass layers them, but found
// through a table of the process instead of a window property. The platform's version reads
// a property at every message and at every call of the next procedure; under Wine each read
// is a round trip to its server, which made every message to a control cost more than most
// handlers. The calls mirror the platform's: the procedure added last runs first, DefSubclass
// calls the next one down (the window's own last), and a procedure may be removed while it runs.
// A window's layers are added, removed and run on the window's own thread; a call from
// another thread is refused.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace ui {

// Adds `procedure` with `id` over `window`'s procedures, or gives the one already there `data`.
bool SetSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
// Removes it; false when it was not there. When the last one goes, the window's own procedure
// is put back (unless someone else has since put theirs over it).
bool RemoveSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
// Inside a layered procedure: the message to the next procedure down.
LRESULT DefSubclass(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace ui
