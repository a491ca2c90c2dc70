#include "ImportCounters.h"

#include <atomic>

#include "Clock.h"
#include "EngineRecords.h"

namespace bench {
namespace {

std::atomic<long> g_iniReads{0};
std::atomic<long> g_fileOpens{0};
std::atomic<long> g_imageDecodes{0};
std::atomic<long long> g_engineMicros{0};
const harness::ImportCallCounter* g_gdiplusCounter = nullptr;

using GetProfileStringFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR, DWORD, LPCWSTR);
using GetProfileIntFn = UINT(WINAPI*)(LPCWSTR, LPCWSTR, INT, LPCWSTR);
using CreateFileFn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                     HANDLE);
using LoadImageFn = int(WINAPI*)(const WCHAR*, void**);

GetProfileStringFn g_realGetProfileString;
GetProfileIntFn g_realGetProfileInt;
CreateFileFn g_realCreateFile;
LoadImageFn g_realLoadImage;
LoadImageFn g_realLoadImageIcm;

DWORD WINAPI CountedGetProfileString(LPCWSTR a, LPCWSTR b, LPCWSTR c, LPWSTR d, DWORD e,
                                     LPCWSTR f) {
    ++g_iniReads;
    return g_realGetProfileString(a, b, c, d, e, f);
}
UINT WINAPI CountedGetProfileInt(LPCWSTR a, LPCWSTR b, INT c, LPCWSTR d) {
    ++g_iniReads;
    return g_realGetProfileInt(a, b, c, d);
}
HANDLE WINAPI CountedCreateFile(LPCWSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e,
                                DWORD f, HANDLE g) {
    ++g_fileOpens;
    return g_realCreateFile(a, b, c, d, e, f, g);
}
int WINAPI CountedLoadImage(const WCHAR* a, void** b) {
    ++g_imageDecodes;
    return g_realLoadImage(a, b);
}
int WINAPI CountedLoadImageIcm(const WCHAR* a, void** b) {
    ++g_imageDecodes;
    return g_realLoadImageIcm(a, b);
}

// Every engine operation the module imports, timed. The wrappers keep each signature.
class EngineClock {
public:
    EngineClock() : m_start(Now()) {}
    ~EngineClock() { g_engineMicros += static_cast<long long>((Now() - m_start) * 1000.0); }

private:
    double m_start;
};

#define TIMED_ENGINE_CALL(name, ordinal, params, args) \
    using name##Fn = DWORD(WINAPI*) params;            \
    name##Fn g_real##name = nullptr;                   \
    DWORD WINAPI Timed##name params {                  \
        EngineClock clock;                             \
        return g_real##name args;                      \
    }                                                  \
    constexpr WORD k##name##Ordinal = ordinal;

TIMED_ENGINE_CALL(GetProtectState, 2, (DWORD * a), (a))
TIMED_ENGINE_CALL(GetSnapshotCount, 3, (DWORD * a), (a))
TIMED_ENGINE_CALL(EnableProtect, 5, (), ())
TIMED_ENGINE_CALL(DisableProtect, 6, (), ())
TIMED_ENGINE_CALL(SetBootRestore, 8, (BOOT_RESTORE_REQUEST * a), (a))
TIMED_ENGINE_CALL(GetSnapshotSetting, 20, (SNAPSHOT_SETTING * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(SetSnapshotSetting, 21, (SNAPSHOT_SETTING * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(GetEventMonitorSetting, 22, (EVENT_MONITOR_SETTING * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(SetEventMonitorSetting, 23, (EVENT_MONITOR_SETTING * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(GetProductInfo, 30, (PRODUCT_INFO * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(GetSpaceUsage, 31, (SPACE_USAGE * a, DWORD b), (a, b))
TIMED_ENGINE_CALL(RegisterTray, 32, (LPCWSTR a, LPCWSTR b, LPCWSTR c), (a, b, c))
TIMED_ENGINE_CALL(UnregisterTray, 33, (LPCWSTR a), (a))
TIMED_ENGINE_CALL(GetCvxPassWord, 36, (char* a), (a))
TIMED_ENGINE_CALL(SetCvxPassWord, 37, (const char* a), (a))
TIMED_ENGINE_CALL(ClearBootRestore, 38, (), ())
TIMED_ENGINE_CALL(SetBootEntry, 25, (BOOT_ENTRY_REQUEST * a), (a))

// Points the import at `wrapper` and keeps the function it pointed at in `real`, for the
// wrapper to call.
template <class Fn, class Import>
void Redirect(std::vector<harness::ImportPatch>& patches, HMODULE module, const char* library,
              Import import, Fn& real, Fn wrapper) {
    patches.emplace_back(module, library, import, reinterpret_cast<const void*>(wrapper));
    real = patches.back().Original<Fn>();
}

}  // namespace

ImportCounters::ImportCounters(HMODULE module) : m_gdiplus(module, "gdiplus.dll") {
    auto& p = m_patches;
    Redirect(p, module, "KERNEL32.dll", "GetPrivateProfileStringW", g_realGetProfileString,
             &CountedGetProfileString);
    Redirect(p, module, "KERNEL32.dll", "GetPrivateProfileIntW", g_realGetProfileInt,
             &CountedGetProfileInt);
    Redirect(p, module, "KERNEL32.dll", "CreateFileW", g_realCreateFile, &CountedCreateFile);
    Redirect(p, module, "gdiplus.dll", "GdipLoadImageFromFile", g_realLoadImage, &CountedLoadImage);
    Redirect(p, module, "gdiplus.dll", "GdipLoadImageFromFileICM", g_realLoadImageIcm,
             &CountedLoadImageIcm);
#define TIME(name) Redirect(p, module, "Pellucid.dll", k##name##Ordinal, g_real##name, &Timed##name)
    TIME(GetProtectState);
    TIME(GetSnapshotCount);
    TIME(EnableProtect);
    TIME(DisableProtect);
    TIME(SetBootRestore);
    TIME(GetSnapshotSetting);
    TIME(SetSnapshotSetting);
    TIME(GetEventMonitorSetting);
    TIME(SetEventMonitorSetting);
    TIME(GetProductInfo);
    TIME(GetSpaceUsage);
    TIME(RegisterTray);
    TIME(UnregisterTray);
    TIME(GetCvxPassWord);
    TIME(SetCvxPassWord);
    TIME(ClearBootRestore);
#undef TIME
    Redirect(p, module, "Marrowick.dll", kSetBootEntryOrdinal, g_realSetBootEntry,
             &TimedSetBootEntry);
    g_gdiplusCounter = &m_gdiplus;
}

ImportCounters::~ImportCounters() {
    g_gdiplusCounter = nullptr;
}

CallCounts ImportCounters::Counts() {
    return {g_iniReads, g_fileOpens, g_imageDecodes,
            g_gdiplusCounter ? g_gdiplusCounter->Calls() : 0, g_engineMicros};
}

}  // namespace bench
