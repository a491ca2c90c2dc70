#include "Setting.h"

#include <memory>

#include "Dialog.h"
#include "ExceptionWrapper.h"
#include "GdiPlus.h"
#include "KeptPicture.h"
#include "SettingDlg.h"
#include "SkinFrame.h"
#include "Tessvane.h"

namespace {

// The module's own manifest (common controls 6) applies to its windows whatever the host's
// manifest says: it is activated around each call.
class ModuleActivationContext {
public:
    explicit ModuleActivationContext(HINSTANCE module) {
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.hModule = module;
        context.lpResourceName = MAKEINTRESOURCEW(2);
        m_context = ::CreateActCtxW(&context);
        if (m_context != INVALID_HANDLE_VALUE && !::ActivateActCtx(m_context, &m_cookie)) {
            m_cookie = 0;
        }
    }
    ~ModuleActivationContext() {
        if (m_cookie) ::DeactivateActCtx(0, m_cookie);
        if (m_context != INVALID_HANDLE_VALUE) ::ReleaseActCtx(m_context);
    }
    ModuleActivationContext(const ModuleActivationContext&) = delete;
    ModuleActivationContext& operator=(const ModuleActivationContext&) = delete;

private:
    HANDLE m_context = INVALID_HANDLE_VALUE;
    ULONG_PTR m_cookie = 0;
};

// The resize library must be present for the module to load, as in the product; the module
// never calls it, but this reference keeps the import.
__attribute__((used)) const void* const g_tessvaneImport =
    reinterpret_cast<const void*>(&::ResizeProtectedArea);

}  // namespace

// The module's one application object, made when the module loads (a function-local object
// would be made through the thread runtime's guard, whose per-thread data outlives the module).
CSettingApp theApp;

CSettingApp& CSettingApp::Instance() {
    return theApp;
}

void CSettingApp::Attach(HINSTANCE module) {
    m_hModule = module;
    ui::SetResourceModule(module);
}

void CSettingApp::Detach() {
    kept_pictures::Clear();
    ReleaseSkinBackgrounds();
    ReleaseSkinImages();
    gdiplus_session::Shutdown();
}

void CSettingApp::ShowSettings(HWND parent) {
    ModuleActivationContext activation(m_hModule);
    ::OutputDebugStringW(L"Ostrel:----------------------In Setting Dlg------------------");
    if (parent && !::IsWindow(parent)) {
        LogTrace(__LINE__, WFILE, L"parent window 0x%08x is not a window; shown without owner",
                 static_cast<unsigned>(reinterpret_cast<uintptr_t>(parent)));
        parent = nullptr;
    }
    gdiplus_session::Acquire();
    {
        std::unique_ptr<CSettingDlg> dialog;
        try {
            dialog = std::make_unique<CSettingDlg>();
            dialog->DoModal(parent);
        } catch (...) {
            // Nothing may cross the export into the host.
            LOG_CAUGHT_EXCEPTION();
        }
        ::OutputDebugStringW(L"Ostrel:----------------------Out Setting Dlg------------------");
    }
}

extern "C" void WINAPI ShowDlgSetting(HWND parent) {
    CSettingApp::Instance().ShowSettings(parent);
}

#if defined(__GLIBCXX__)
// The C++ runtime linked into the module keeps an emergency buffer for exceptions thrown when
// memory runs out; it is meant to live as long as the process and is not given back when a
// module unloads. This frees it (nothing can be in flight at unload).
namespace __gnu_cxx {
void __freeres() noexcept;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            ::DisableThreadLibraryCalls(module);
            CSettingApp::Instance().Attach(module);
            break;
        case DLL_PROCESS_DETACH:
            // At process exit (reserved != null) the system reclaims everything; GDI+ must
            // not be touched then.
            if (!reserved) {
                CSettingApp::Instance().Detach();
#if defined(__GLIBCXX__)
                __gnu_cxx::__freeres();
#endif
            }
            break;
        default:
            break;
    }
    return TRUE;
}
