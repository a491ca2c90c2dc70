#include "BootRestore.h"

#include <cstring>
#include <memory>
#include <new>

#include "ExceptionWrapper.h"
#include "Marrowick.h"
#include "Pellucid.h"
#include "Trace.h"

namespace {

void FillBootEntryRequest(BOOT_ENTRY_REQUEST& request, DWORD action) {
    std::memset(&request, 0, sizeof request);
    request.bType = 2;
    request.bFlags = 0x20;
    request.bVersion = 3;
    request.dwAction = action;
    std::memcpy(request.szTitle, BOOT_ENTRY_TITLE, sizeof BOOT_ENTRY_TITLE);
}

}  // namespace

DWORD RequesterId(const void* dialog) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(dialog));
}

DWORD SetPEBoot(DWORD action) {
    BOOT_ENTRY_REQUEST request;
    std::memset(&request, 0, sizeof request);
    DebugTrace(L"begin Set PE boot.....");
    FillBootEntryRequest(request, action);
    return ::SetBootEntry(&request);
}

DWORD DelRestore() {
    ::ClearBootRestore();
    BOOT_ENTRY_REQUEST request;
    FillBootEntryRequest(request, 1);
    ::SetBootEntry(&request);
    FillBootEntryRequest(request, 0);
    return ::SetBootEntry(&request);
}

DWORD SetRestore(int choiceIndex, DWORD requester) {
    DWORD count = 0;
    const DWORD result = ::GetSnapshotCount(&count);
    if (result != 0 && count != 0) {
        LOG_ERROR(static_cast<int>(result));
        return result;
    }
    std::unique_ptr<BOOT_RESTORE_REQUEST> request(new (std::nothrow) BOOT_RESTORE_REQUEST());
    if (!request) {
        const DWORD code = ::GetLastError();
        LOG_ERROR(static_cast<int>(code));
        return code;
    }
    request->cbSize = BOOT_RESTORE_REQUEST_SIZE;
    request->dwSnapshotIndex = count - 1;  // the latest; 0xFFFFFFFF when there is none
    request->dwChoice = choiceIndex == 1 ? 0 : 1;
    request->dwReserved16 = 0;
    request->dwReserved298 = 0;
    request->dwRequester = requester;
    return ::SetBootRestore(request.get());
}
