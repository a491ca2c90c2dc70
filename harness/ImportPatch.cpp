#include "ImportPatch.h"

#include <cstring>
#include <utility>

namespace harness {
namespace {

template <class T>
T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

// Calls `visit(lookup entry, import address table entry)` for the imports of `library` until
// it returns true; returns the entry it stopped at, or null.
template <class Visit>
ULONG_PTR* VisitSlots(HMODULE module, const char* library, Visit visit) {
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
            auto* slot = reinterpret_cast<ULONG_PTR*>(&bound->u1.Function);
            if (visit(*lookup, slot)) return slot;
        }
    }
    return nullptr;
}

// The import address table entry of the first import of `library` for which `matches(lookup
// entry)` holds; null when there is none.
template <class Match>
ULONG_PTR* FindSlot(HMODULE module, const char* library, Match matches) {
    return VisitSlots(module, library,
                      [&](const IMAGE_THUNK_DATA& lookup, ULONG_PTR*) { return matches(lookup); });
}

void Write(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD protection = 0;
    ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// One stub: "lock inc dword [counter]; jmp [original]". On x64 both operands are relative to
// the next instruction; on x86 they are absolute addresses.
constexpr size_t kStubSize = 32;
constexpr size_t kOriginalAt = 16;  // where in its stub the original function's address is

void WriteStub(BYTE* stub, const LONG* counter, ULONG_PTR original) {
    auto operand = [&](size_t at, const void* target) {
#ifdef _WIN64
        const auto next = reinterpret_cast<INT_PTR>(stub + at + 4);
        const auto offset = static_cast<INT32>(reinterpret_cast<INT_PTR>(target) - next);
#else
        const auto offset = static_cast<UINT32>(reinterpret_cast<ULONG_PTR>(target));
#endif
        std::memcpy(stub + at, &offset, 4);
    };
    const BYTE code[] = {0xF0, 0xFF, 0x05, 0, 0, 0, 0, 0xFF, 0x25, 0, 0, 0, 0};
    std::memcpy(stub, code, sizeof code);
    std::memcpy(stub + kOriginalAt, &original, sizeof original);
    operand(3, counter);
    operand(9, stub + kOriginalAt);
}

}  // namespace

ImportCallCounter::ImportCallCounter(HMODULE module, const char* library) {
    VisitSlots(module, library, [&](const IMAGE_THUNK_DATA&, ULONG_PTR* slot) {
        m_slots.push_back({slot, *slot});
        return false;
    });
    const size_t size = kStubSize * (m_slots.size() + 1);
    m_stubs = static_cast<BYTE*>(
        ::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!m_stubs) {
        m_slots.clear();
        return;
    }
    const auto* counter = reinterpret_cast<const LONG*>(m_stubs);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        BYTE* stub = m_stubs + kStubSize * (i + 1);
        WriteStub(stub, counter, m_slots[i].original);
        Write(m_slots[i].entry, reinterpret_cast<ULONG_PTR>(stub));
    }
    ::FlushInstructionCache(::GetCurrentProcess(), m_stubs, size);
}

ImportCallCounter::~ImportCallCounter() {
    for (const Slot& slot : m_slots)
        Write(slot.entry, slot.original);
    if (m_stubs) ::VirtualFree(m_stubs, 0, MEM_RELEASE);
}

long ImportCallCounter::Calls() const {
    return m_stubs ? ::InterlockedCompareExchange(reinterpret_cast<LONG*>(m_stubs), 0, 0) : 0;
}

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
