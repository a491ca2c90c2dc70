// How a stand-in library runs one simulated engine call. Used by the stand-in DLLs only.
#pragma once

#include <windows.h>

#include <new>
#include <system_error>

#include "SimJournal.h"
#include "SimState.h"

namespace sim {

struct Call {
    EngineState& state;
    CallLine line;
    DWORD forced;          // the configured failure code, 0 = none
    bool changed = false;  // set by the body when the state must be written back

    // The result before any work: the forced failure first, so that a failing call never
    // touches its outputs; then 87 for unusable arguments.
    DWORD Start(bool argumentsUsable) const {
        if (forced != 0) {
            return forced;
        }
        return argumentsUsable ? 0 : ERROR_INVALID_PARAMETER;
    }
};

// Sleeps the configured delay (without holding the lock, so other callers go on), then
// runs `body` with the state under the folder's lock, writes the state back when the call
// succeeded and changed it, and journals the call. `body(Call&)` returns the result.
// Nothing may escape a stdcall export, so every failure becomes a Win32 code.
template <class Body>
DWORD RunCall(const char* operation, Body&& body) noexcept {
    try {
        const std::wstring folder = HostFolder();
        if (const DWORD delay = StateTransaction(folder).State().DelayFor(operation)) {
            Sleep(delay);
        }
        StateTransaction transaction(folder);
        Call call{transaction.State(), CallLine(operation),
                  transaction.State().FailureFor(operation)};
        const DWORD result = body(call);
        if (result == 0 && call.changed) {
            transaction.Commit();
        }
        transaction.Journal(call.line.Finish(result));
        return result;
    } catch (const std::system_error& error) {
        return static_cast<DWORD>(error.code().value());
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return ERROR_INTERNAL_ERROR;
    }
}

}  // namespace sim
