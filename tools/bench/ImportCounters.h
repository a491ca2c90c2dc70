// What the module calls, counted and timed without changing the module: its imports of INI
// reads, file opens and image decodes point at counting wrappers, every GDI+ import at a
// counting stub, and its imports of the engine's operations at timing wrappers
// (harness::ImportPatch).
#pragma once

#include <windows.h>

#include <vector>

#include "ImportPatch.h"

namespace bench {

// What the module has called since its imports were redirected.
struct CallCounts {
    long iniReads = 0;
    long fileOpens = 0;
    long imageDecodes = 0;
    long gdiplusCalls = 0;       // every call into GDI+, image decodes included
    long long engineMicros = 0;  // time spent inside the engine's operations
};

// The module's imports redirected for as long as the object lives. The counts are the
// program's: one module at a time.
class ImportCounters {
public:
    explicit ImportCounters(HMODULE module);
    ~ImportCounters();
    ImportCounters(const ImportCounters&) = delete;
    ImportCounters& operator=(const ImportCounters&) = delete;
    static CallCounts Counts();

private:
    // Made before the patches and undone after them: a patched GDI+ import's wrapper calls
    // the counting stub.
    harness::ImportCallCounter m_gdiplus;
    std::vector<harness::ImportPatch> m_patches;
};

}  // namespace bench
