// Restore at start-up and the recovery environment's boot entry, for the save, the protection
// switch and the resize command.
#pragma once

#include <windows.h>

// Arms the restore of the latest snapshot; `choiceIndex` is the selected restore choice
// (-1 for none), `requester` the asking dialog's identity. SetBootRestore's result, or the
// code of the step that failed.
DWORD SetRestore(int choiceIndex, DWORD requester);
// Cancels a pending restore at start-up and resets the boot entry; the last call's result.
DWORD DelRestore();
// Sets (1) or clears (0) the recovery environment's boot entry.
DWORD SetPEBoot(DWORD action);
// The 32-bit identity of a settings dialog object, as the engine's requests carry it.
DWORD RequesterId(const void* dialog);
