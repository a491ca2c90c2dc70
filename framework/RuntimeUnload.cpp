// Linked into every library of ours that a host may load and free many times.
//
// The thread library linked statically into a library (winpthreads) keeps a record for each
// thread that used it, with a duplicate of the thread's handle and an event, and gives it back
// when that thread ends. On x86 the loading thread always gets one: the C++ runtime registers
// the library's unwind tables at load, behind a once-only lock of that thread library. When
// the library is freed while the loading thread lives on, nothing gives the record back, and
// each load and free keeps two kernel handles for good.
//
// This thread callback runs first at unload (".CRT$XLB" sorts before the thread library's
// ".CRT$XLF") and tells the thread library that the unloading thread is done with the library,
// as it would be told if the thread ended; at process exit nothing needs giving back.
#include <windows.h>

// The thread library's own thread callback (winpthreads, section ".CRT$XLF").
extern "C" const PIMAGE_TLS_CALLBACK __xl_f;

namespace {

void NTAPI ReleaseUnloadingThreadRecord(PVOID module, DWORD reason, PVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved && __xl_f)
        __xl_f(module, DLL_THREAD_DETACH, nullptr);
}

}  // namespace

extern "C" __attribute__((section(".CRT$XLB"), used))
const PIMAGE_TLS_CALLBACK g_releaseUnloadingThreadRecord = ReleaseUnloadingThreadRecord;
