// Replaces entries of a loaded module's import address table, so that a benchmark can count
// and time what the module calls (INI reads, file opens, image decodes, engine calls)
// without changing the module.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

// Points the import `function` of `importedDll` (by name) in `module` at `replacement`.
// Returns the original function, or null when the module does not import it.
void* HookImportByName(HMODULE module, const char* importedDll, const char* function,
                       void* replacement);

// The same for an import by ordinal.
void* HookImportByOrdinal(HMODULE module, const char* importedDll, WORD ordinal, void* replacement);

}  // namespace bench
