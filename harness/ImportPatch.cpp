#include "ImportPatch.h"

#include <cstring>
#include <utility>

namespace harness {
namespace {

template <class T>
T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

// The import address table entry of the first import of `library` for which `matches(lookup
// entry)` holds; null when there is none.
template <class Match>
ULONG_PTR* FindSlot(HMODULE module, const char* library, Match matches) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = At<const IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return nullptr;
    for (const auto* entry = At<const IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (_stricmp(At<const char>(module, entry->Name), library) != 0) continue;
        const DWORD lookupRva =
            entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
        const auto* lookup = At<const IMAGE_THUNK_DATA>(module, lookupRva);
        auto* bound = At<IMAGE_THUNK_DATA>(module, entry->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++bound) {
            if (matches(*lookup)) return reinterpret_cast<ULONG_PTR*>(&bound->u1.Function);
        }
    }
    return nullptr;
}

void Write(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD protection = 0;
    ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

ImportPatch::ImportPatch(HMODULE module, const char* library, const char* function,
                         const void* replacement) {
    m_slot = FindSlot(module, library, [&](const IMAGE_THUNK_DATA& lookup) {
        if (IMAGE_SNAP_BY_ORDINAL(lookup.u1.Ordinal)) return false;
        const auto* byName =
            At<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(lookup.u1.AddressOfData));
        return std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
    });
    Patch(replacement);
}

ImportPatch::ImportPatch(HMODULE module, const char* library, WORD ordinal,
                         const void* replacement) {
    m_slot = FindSlot(module, library, [&](const IMAGE_THUNK_DATA& lookup) {
        return IMAGE_SNAP_BY_ORDINAL(lookup.u1.Ordinal) &&
               IMAGE_ORDINAL(lookup.u1.Ordinal) == ordinal;
    });
    Patch(replacement);
}

ImportPatch::ImportPatch(ImportPatch&& other) noexcept
    : m_slot(std::exchange(other.m_slot, nullptr)), m_original(other.m_original) {}

ImportPatch::~ImportPatch() {
    if (m_slot) Write(m_slot, m_original);
}

void ImportPatch::Patch(const void* replacement) {
    if (!m_slot) return;
    m_original = *m_slot;
    Write(m_slot, reinterpret_cast<ULONG_PTR>(replacement));
}

}  // namespace harness
