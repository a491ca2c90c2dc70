// Entry of each stand-in library. The C++ runtime linked into a library keeps an emergency
// buffer for exceptions that it never gives back when the library unloads; a host that loads
// and frees the product's libraries many times would see it as a leak of the stand-ins.
#include <windows.h>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __freeres() noexcept;
}
#endif

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) ::DisableThreadLibraryCalls(module);
#if defined(__GLIBCXX__)
    // At process exit (reserved != null) nothing needs giving back.
    if (reason == DLL_PROCESS_DETACH && !reserved) __gnu_cxx::__freeres();
#endif
    return TRUE;
}
