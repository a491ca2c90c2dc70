// A library loaded as a host loads it, and freed when the object goes.
#pragma once

#include <windows.h>

namespace bench {

class LoadedModule {
public:
    explicit LoadedModule(const wchar_t* name) : module_(::LoadLibraryW(name)) {}
    ~LoadedModule() {
        if (module_) ::FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    HMODULE Handle() const { return module_; }

private:
    HMODULE module_;
};

}  // namespace bench
