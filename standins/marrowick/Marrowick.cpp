// Simulated boot-entry library: ordinal 25 keeps the recovery environment's boot entry in
// the sim state instead of the system's boot menu. Nothing runs at load.
#define MARROWICK_BUILDING
#include "Marrowick.h"

#include <cstring>

#include "SimCall.h"

namespace {

bool Terminated(const BOOT_ENTRY_REQUEST& request) {
    return std::memchr(request.szTitle, '\0', sizeof request.szTitle) != nullptr;
}

// The header constants and a known action, as the real library expects them.
bool WellFormed(const BOOT_ENTRY_REQUEST& request) {
    return request.bType == 2 && request.bFlags == 0x20 && request.bVersion == 3 &&
           (request.dwAction == 0 || request.dwAction == 1) && Terminated(request);
}

void Describe(sim::CallLine& line, const BOOT_ENTRY_REQUEST* request) {
    if (request == nullptr) {
        line.Null("request");
        return;
    }
    line.Bytes("request", request, sizeof *request).Number("action", request->dwAction);
    if (Terminated(*request)) {
        line.Ansi("title", request->szTitle);
    } else {
        line.Remark("title", "unterminated");
    }
}

}  // namespace

MARROWICK_API DWORD WINAPI SetBootEntry(BOOT_ENTRY_REQUEST* request) {
    return sim::RunCall("SetBootEntry", [&](sim::Call& call) {
        Describe(call.line, request);
        const DWORD result = call.Start(request != nullptr && WellFormed(*request));
        if (result == 0) {
            const bool set = request->dwAction == 1;
            call.state.bootEntry = {set, set ? std::string(request->szTitle) : std::string()};
            call.changed = true;
        }
        return result;
    });
}
