#include "ImportHook.h"

#include <cstring>

namespace bench {
namespace {

template <class T>
T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

const IMAGE_IMPORT_DESCRIPTOR* FindImport(HMODULE module, const char* dll) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = At<const IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return nullptr;
    for (const auto* entry = At<const IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (_stricmp(At<const char>(module, entry->Name), dll) == 0) return entry;
    }
    return nullptr;
}

void* Replace(IMAGE_THUNK_DATA* slot, void* replacement) {
    DWORD protection = 0;
    ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
    void* original = reinterpret_cast<void*>(slot->u1.Function);
    slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
    ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
    return original;
}

template <class Match>
void* Hook(HMODULE module, const char* dll, void* replacement, Match match) {
    const IMAGE_IMPORT_DESCRIPTOR* entry = FindImport(module, dll);
    if (!entry) return nullptr;
    const DWORD namesRva =
        entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = At<IMAGE_THUNK_DATA>(module, namesRva);
    auto* slots = At<IMAGE_THUNK_DATA>(module, entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (match(module, *names)) return Replace(slots, replacement);
    }
    return nullptr;
}

}  // namespace

void* HookImportByName(HMODULE module, const char* importedDll, const char* function,
                       void* replacement) {
    return Hook(module, importedDll, replacement, [&](HMODULE m, const IMAGE_THUNK_DATA& thunk) {
        if (IMAGE_SNAP_BY_ORDINAL(thunk.u1.Ordinal)) return false;
        const auto* byName =
            At<const IMAGE_IMPORT_BY_NAME>(m, static_cast<DWORD>(thunk.u1.AddressOfData));
        return std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0;
    });
}

void* HookImportByOrdinal(HMODULE module, const char* importedDll, WORD ordinal,
                          void* replacement) {
    return Hook(module, importedDll, replacement, [&](HMODULE, const IMAGE_THUNK_DATA& thunk) {
        return IMAGE_SNAP_BY_ORDINAL(thunk.u1.Ordinal) &&
               IMAGE_ORDINAL(thunk.u1.Ordinal) == ordinal;
    });
}

}  // namespace bench
