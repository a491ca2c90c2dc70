// The activation context of a module's manifest (its resource 2). While it is active on a
// thread, the platform gives that thread the libraries the manifest selects: for Setting.dll,
// the common controls 6 its dialogs are made of.
#pragma once

#include <windows.h>

namespace harness {

class ManifestContext {
public:
    explicit ManifestContext(HMODULE module);
    ~ManifestContext();
    ManifestContext(const ManifestContext&) = delete;
    ManifestContext& operator=(const ManifestContext&) = delete;

    // The context active on the calling thread for as long as this object lives (nothing
    // when the module's manifest could not be read).
    class Activation {
    public:
        explicit Activation(const ManifestContext& context);
        ~Activation();
        Activation(const Activation&) = delete;
        Activation& operator=(const Activation&) = delete;

    private:
        ULONG_PTR m_cookie = 0;
        bool m_active = false;
    };

private:
    HANDLE m_context = INVALID_HANDLE_VALUE;
};

}  // namespace harness
