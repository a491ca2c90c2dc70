#include "AccessibilityApi.h"

#include <mutex>

namespace accessibility_api {

const IID kIID_IAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
const IID kIID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

struct Functions {
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&::SysAllocString) sysAllocString = nullptr;
    decltype(&::CoInitializeEx) coInitializeEx = nullptr;
    decltype(&::CoUninitialize) coUninitialize = nullptr;
    decltype(&::CoDisconnectObject) coDisconnectObject = nullptr;
    bool loaded = false;
};

std::mutex g_mutex;
Functions g_functions;  // filled once, under the lock; read only afterwards

using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
SetWindowThemeFunction g_setWindowTheme = nullptr;  // under g_mutex

// A function of a library loaded for the life of the process.
template <class Function>
bool Find(const wchar_t* library, const char* name, Function& function) {
    HMODULE module = ::LoadLibraryW(library);
    function =
        module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
               : nullptr;
    return function != nullptr;
}

}  // namespace

bool Load() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_functions.loaded) return true;
    Functions f;
    f.loaded = Find(L"oleacc.dll", "LresultFromObject", f.lresultFromObject) &&
               Find(L"oleacc.dll", "CreateStdAccessibleObject", f.createStdAccessibleObject) &&
               Find(L"oleaut32.dll", "SysAllocString", f.sysAllocString) &&
               Find(L"ole32.dll", "CoInitializeEx", f.coInitializeEx) &&
               Find(L"ole32.dll", "CoUninitialize", f.coUninitialize) &&
               Find(L"ole32.dll", "CoDisconnectObject", f.coDisconnectObject);
    if (f.loaded) g_functions = f;
    return f.loaded;
}

LRESULT LresultFromObject(REFIID riid, WPARAM wParam, IUnknown* object) {
    return g_functions.lresultFromObject(riid, wParam, object);
}

HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID riid, void** object) {
    return g_functions.createStdAccessibleObject(window, objectId, riid, object);
}

BSTR SysAllocString(const wchar_t* text) {
    return g_functions.sysAllocString ? g_functions.sysAllocString(text) : nullptr;
}

HRESULT CoInitializeEx(DWORD model) {
    return g_functions.coInitializeEx(nullptr, model);
}

void CoUninitialize() {
    g_functions.coUninitialize();
}

HRESULT CoDisconnectObject(IUnknown* object) {
    return g_functions.coDisconnectObject(object, 0);
}

bool SetVisualStyles(HWND control, bool on) {
    SetWindowThemeFunction setWindowTheme = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_setWindowTheme) Find(L"uxtheme.dll", "SetWindowTheme", g_setWindowTheme);
        setWindowTheme = g_setWindowTheme;
    }
    if (!setWindowTheme) return false;
    // Names of no visual style turn them off (a blank: some platforms refuse empty names);
    // none give the window back the platform's.
    return SUCCEEDED(on ? setWindowTheme(control, nullptr, nullptr)
                        : setWindowTheme(control, L" ", L" "));
}

}  // namespace accessibility_api
