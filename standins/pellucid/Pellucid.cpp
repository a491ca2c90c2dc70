// Simulated snapshot engine: every ordinal of Pellucid.dll, working on the state file and
// journal of the sim library instead of a real protected area. Nothing runs at load.
#define PELLUCID_BUILDING
#include "Pellucid.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "SimCall.h"

using sim::Call;
using sim::CallLine;
using sim::EngineState;
using sim::RunCall;

namespace {

// An output the call did not write: the journal says why.
void Unwritten(CallLine& line, const char* name, const void* pointer) {
    if (pointer == nullptr) {
        line.Null(name);
    } else {
        line.Remark(name, "not filled");
    }
}

// An input the call could not read (null, or a size it does not know).
void Unread(CallLine& line, const char* name, const void* pointer) {
    if (pointer == nullptr) {
        line.Null(name);
    } else {
        line.Remark(name, "not read");
    }
}

// The engine's own records carry their size first; both the argument and the field must
// say the record's size, as the engine's callers always set them.
template <class Record>
bool SizedRecord(const Record* record, DWORD size) {
    return record != nullptr && size == sizeof(Record) && record->cbSize == sizeof(Record);
}

template <class Record>
DWORD GetRecord(const char* operation, Record* record, DWORD size, Record EngineState::*stored) {
    return RunCall(operation, [&](Call& call) {
        const DWORD result = call.Start(SizedRecord(record, size));
        if (result == 0) {
            std::memcpy(record, &(call.state.*stored), size);
            call.line.Bytes("setting", record, size);
        } else {
            Unwritten(call.line, "setting", record);
        }
        call.line.Number("size", size);
        return result;
    });
}

template <class Record>
DWORD SetRecord(const char* operation, const Record* record, DWORD size,
                Record EngineState::*stored) {
    return RunCall(operation, [&](Call& call) {
        if (record != nullptr && size == sizeof(Record)) {
            call.line.Bytes("setting", record, size);
        } else {
            Unread(call.line, "setting", record);
        }
        call.line.Number("size", size);
        const DWORD result = call.Start(SizedRecord(record, size));
        if (result == 0) {
            std::memcpy(&(call.state.*stored), record, sizeof(Record));
            call.changed = true;
        }
        return result;
    });
}

DWORD GetNumber(const char* operation, const char* name, DWORD* value,
                DWORD (*read)(const EngineState&)) {
    return RunCall(operation, [&](Call& call) {
        const DWORD result = call.Start(value != nullptr);
        if (result == 0) {
            *value = read(call.state);
            call.line.Number(name, *value);
        } else {
            Unwritten(call.line, name, value);
        }
        return result;
    });
}

DWORD SetProtection(const char* operation, bool on) {
    return RunCall(operation, [&](Call& call) {
        const DWORD result = call.Start(true);
        if (result == 0) {
            call.state.protectOn = on;
            call.changed = true;
        }
        return result;
    });
}

// Copies at most `capacity` - 1 characters and always terminates.
void CopyText(WCHAR* target, size_t capacity, const std::wstring& text) {
    const size_t count = std::min(text.size(), capacity - 1);
    std::memcpy(target, text.data(), count * sizeof(WCHAR));
    target[count] = L'\0';
}

}  // namespace

PELLUCID_API DWORD WINAPI GetProtectState(DWORD* state) {
    return GetNumber("GetProtectState", "state", state,
                     [](const EngineState& s) -> DWORD { return s.protectOn ? 1 : 0; });
}

PELLUCID_API DWORD WINAPI GetSnapshotCount(DWORD* count) {
    return GetNumber("GetSnapshotCount", "count", count,
                     [](const EngineState& s) { return s.snapshotCount; });
}

PELLUCID_API DWORD WINAPI EnableProtect() {
    return SetProtection("EnableProtect", true);
}

PELLUCID_API DWORD WINAPI DisableProtect() {
    return SetProtection("DisableProtect", false);
}

PELLUCID_API DWORD WINAPI SetBootRestore(BOOT_RESTORE_REQUEST* request) {
    return RunCall("SetBootRestore", [&](Call& call) {
        if (request == nullptr) {
            call.line.Null("request");
        } else {
            call.line.Bytes("request", request, sizeof *request)
                .Number("index", request->dwSnapshotIndex)
                .Number("choice", request->dwChoice)
                .HexNumber("requester", request->dwRequester);
        }
        const DWORD result =
            call.Start(request != nullptr && request->cbSize == BOOT_RESTORE_REQUEST_SIZE);
        if (result == 0) {
            call.state.bootRestore = {true, request->dwSnapshotIndex, request->dwChoice,
                                      request->dwRequester};
            call.changed = true;
        }
        return result;
    });
}

PELLUCID_API DWORD WINAPI GetSnapshotSetting(SNAPSHOT_SETTING* setting, DWORD size) {
    return GetRecord("GetSnapshotSetting", setting, size, &EngineState::snapshotSetting);
}

PELLUCID_API DWORD WINAPI SetSnapshotSetting(SNAPSHOT_SETTING* setting, DWORD size) {
    return SetRecord("SetSnapshotSetting", setting, size, &EngineState::snapshotSetting);
}

PELLUCID_API DWORD WINAPI GetEventMonitorSetting(EVENT_MONITOR_SETTING* setting, DWORD size) {
    return GetRecord("GetEventMonitorSetting", setting, size, &EngineState::eventMonitorSetting);
}

PELLUCID_API DWORD WINAPI SetEventMonitorSetting(EVENT_MONITOR_SETTING* setting, DWORD size) {
    return SetRecord("SetEventMonitorSetting", setting, size, &EngineState::eventMonitorSetting);
}

PELLUCID_API DWORD WINAPI PellucidGetProductInfo(PRODUCT_INFO* info, DWORD size) {
    return RunCall("GetProductInfo", [&](Call& call) {
        const DWORD result = call.Start(info != nullptr && size == PRODUCT_INFO_SIZE);
        if (result == 0) {
            // The whole record is the engine's to write; its private bytes stay zero here.
            std::memset(info, 0, sizeof *info);
            CopyText(info->szProductName, std::size(info->szProductName), call.state.productName);
            CopyText(info->szCaption, std::size(info->szCaption), call.state.productCaption);
            call.line.Text("name", info->szProductName).Text("caption", info->szCaption);
        } else {
            Unwritten(call.line, "info", info);
        }
        call.line.Number("size", size);
        return result;
    });
}

PELLUCID_API DWORD WINAPI GetSpaceUsage(SPACE_USAGE* usage, DWORD size) {
    return RunCall("GetSpaceUsage", [&](Call& call) {
        const DWORD result = call.Start(usage != nullptr && size == SPACE_USAGE_SIZE);
        if (result == 0) {
            *usage = call.state.spaceUsage;
            call.line.Bytes("usage", usage, sizeof *usage)
                .Number("total", usage->dwTotal)
                .Number("free", usage->dwFree);
        } else {
            Unwritten(call.line, "usage", usage);
        }
        call.line.Number("size", size);
        return result;
    });
}

PELLUCID_API DWORD WINAPI RegisterTray(LPCWSTR name, LPCWSTR path, LPCWSTR folder) {
    return RunCall("RegisterTray", [&](Call& call) {
        call.line.Text("name", name).Text("path", path).Text("folder", folder);
        const DWORD result = call.Start(name != nullptr && path != nullptr && folder != nullptr);
        if (result == 0) {
            call.state.tray = {true, name, path, folder};
            call.changed = true;
        }
        return result;
    });
}

PELLUCID_API DWORD WINAPI UnregisterTray(LPCWSTR name) {
    return RunCall("UnregisterTray", [&](Call& call) {
        call.line.Text("name", name);
        DWORD result = call.Start(name != nullptr);
        if (result == 0 && !(call.state.tray.registered && call.state.tray.name == name)) {
            result = ERROR_NOT_FOUND;  // nothing registered under that name
        }
        if (result == 0) {
            call.state.tray = {};
            call.changed = true;
        }
        return result;
    });
}

PELLUCID_API DWORD WINAPI GetCvxPassWord(char* password) {
    return RunCall("GetCvxPassWord", [&](Call& call) {
        const DWORD result = call.Start(password != nullptr);
        if (result == 0) {
            const std::string& stored = call.state.password;
            const size_t count = std::min<size_t>(stored.size(), PASSWORD_BUFFER_SIZE - 1);
            std::memset(password, 0, PASSWORD_BUFFER_SIZE);
            std::memcpy(password, stored.data(), count);
            call.line.Password("password", password);
        } else {
            Unwritten(call.line, "password", password);
        }
        return result;
    });
}

PELLUCID_API DWORD WINAPI SetCvxPassWord(const char* password) {
    return RunCall("SetCvxPassWord", [&](Call& call) {
        // Never read past the engine's buffer size, even for an unterminated argument.
        const bool fits =
            password != nullptr && strnlen(password, PASSWORD_BUFFER_SIZE) < PASSWORD_BUFFER_SIZE;
        if (fits) {
            call.line.Password("password", password);
        } else {
            Unread(call.line, "password", password);
        }
        const DWORD result = call.Start(fits);
        if (result == 0) {
            call.state.password = password;
            call.changed = true;
        }
        return result;
    });
}

PELLUCID_API DWORD WINAPI ClearBootRestore() {
    return RunCall("ClearBootRestore", [&](Call& call) {
        const DWORD result = call.Start(true);
        if (result == 0) {
            call.state.bootRestore = {};
            call.changed = true;
        }
        return result;
    });
}
