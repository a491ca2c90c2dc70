// Points one import of a loaded module (its import address table's entry) at another function
// for as long as the object lives, so that what the module calls can be counted, timed or
// answered differently without changing the module.
#pragma once

#include <windows.h>

#include <vector>

namespace harness {

// Counts every call a module makes to one library, whatever the function's signature, for as
// long as the object lives: each import address table entry of the library points at a small
// stub that adds one to a shared counter and jumps on to the function, leaving the stack and
// registers as the caller set them.
class ImportCallCounter {
public:
    ImportCallCounter(HMODULE module, const char* library);
    ~ImportCallCounter();
    ImportCallCounter(const ImportCallCounter&) = delete;
    ImportCallCounter& operator=(const ImportCallCounter&) = delete;

    long Calls() const;
    int Functions() const { return static_cast<int>(m_slots.size()); }

private:
    struct Slot {
        ULONG_PTR* entry;
        ULONG_PTR original;
    };
    std::vector<Slot> m_slots;
    BYTE* m_stubs = nullptr;  // executable: the counter, then one stub per entry
};

class ImportPatch {
public:
    // The import of `function` (by name) from `library` (as the import table names it:
    // "KERNEL32.dll", "Pellucid.dll"); `replacement` has the imported function's type.
    ImportPatch(HMODULE module, const char* library, const char* function, const void* replacement);
    // The same for an import by ordinal.
    ImportPatch(HMODULE module, const char* library, WORD ordinal, const void* replacement);
    ~ImportPatch();
    ImportPatch(ImportPatch&& other) noexcept;
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    ImportPatch& operator=(ImportPatch&&) = delete;

    // False when the module does not import the function.
    bool Active() const { return m_slot != nullptr; }
    // The function the entry held before: the one the replacement stands in front of.
    template <class Function>
    Function Original() const {
        return reinterpret_cast<Function>(m_original);
    }

private:
    void Patch(const void* replacement);

    ULONG_PTR* m_slot = nullptr;
    ULONG_PTR m_original = 0;
};

}  // namespace harness
