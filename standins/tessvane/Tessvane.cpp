// Stand-in of the resize library. The settings module only needs it present at load time
// and never calls it; a call is journaled so that tests can see it should not happen.
#define TESSVANE_BUILDING
#include "Tessvane.h"

#include "SimCall.h"

TESSVANE_API DWORD WINAPI ResizeProtectedArea(DWORD newSizeMiB) {
    return sim::RunCall("ResizeProtectedArea", [&](sim::Call& call) {
        call.line.Number("newSizeMiB", newSizeMiB);
        const DWORD result = call.Start(true);
        return result != 0 ? result : static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED);
    });
}
