// Replaces one by-ordinal import of this program with a function of the test, for as long as
// the object lives. For answers that the simulated engine cannot give (an output written by a
// failing call, a different result for each of two calls).
#pragma once

#include <windows.h>

#include <cstring>

namespace testsupport {

class ImportPatch {
public:
    // `library` as the import table names it ("Pellucid.dll"); `replacement` has the
    // imported function's type.
    ImportPatch(const char* library, WORD ordinal, const void* replacement) {
        slot_ = FindSlot(library, ordinal);
        if (slot_) {
            original_ = *slot_;
            Write(reinterpret_cast<ULONG_PTR>(replacement));
        }
    }
    ~ImportPatch() {
        if (slot_) Write(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Active() const { return slot_ != nullptr; }

private:
    static ULONG_PTR* FindSlot(const char* library, WORD ordinal) {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& directory =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (directory.VirtualAddress == 0) return nullptr;
        for (auto* entry =
                 reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             entry->Name != 0; ++entry) {
            if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0) continue;
            const DWORD lookupRva =
                entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
            auto* lookup = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + lookupRva);
            auto* bound = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
            for (; lookup->u1.Ordinal != 0; ++lookup, ++bound) {
                if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal) &&
                    IMAGE_ORDINAL(lookup->u1.Ordinal) == ordinal) {
                    return reinterpret_cast<ULONG_PTR*>(&bound->u1.Function);
                }
            }
        }
        return nullptr;
    }

    void Write(ULONG_PTR value) {
        DWORD old = 0;
        ::VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        *slot_ = value;
        ::VirtualProtect(slot_, sizeof *slot_, old, &old);
    }

    ULONG_PTR* slot_ = nullptr;
    ULONG_PTR original_ = 0;
};

}  // namespace testsupport
