// A library loaded as a host loads it, and freed when the object goes.
#pragma once

#include <windows.h>

namespace bench {

class LoadedModule {
public:
    explicit LoadedModule(const wchar_t* name) : m_module(::LoadLibraryW(name)) {}
    ~LoadedModule() {
        if (m_module) ::FreeLibrary(m_module);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    HMODULE Handle() const { return m_module; }

private:
    HMODULE m_module;
};

}  // namespace bench
