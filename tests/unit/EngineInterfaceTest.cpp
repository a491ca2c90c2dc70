// The definitions the module shares with the stand-ins of the engine and boot libraries,
// against the interface's literal values. End-to-end tests cannot see a wrong shared value:
// module and stand-in change together. (The built module's import table is read in
// tests/binaries.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "EngineRecords.h"
#include "Marrowick.h"
#include "Pellucid.h"
#include "SettingDlg.h"
#include "Tessvane.h"
#include "TempFolder.h"

namespace {

struct Field {
    const char* name;
    size_t actual, expected;
};

TEST(EngineInterfaceTest, RecordsHaveTheEnginesSizesAndOffsets) {
    const Field fields[] = {
        {"SNAPSHOT_SETTING", sizeof(SNAPSHOT_SETTING), 135},
        {"SNAPSHOT_SETTING_SIZE", SNAPSHOT_SETTING_SIZE, 135},
        {"bEnable", offsetof(SNAPSHOT_SETTING, AutoCreate) + offsetof(AUTO_CREATE_SETTING, bEnable),
         4},
        {"bSuppressToaster",
         offsetof(SNAPSHOT_SETTING, AutoCreate) + offsetof(AUTO_CREATE_SETTING, bSuppressToaster),
         12},
        {"dwCycleMinutes",
         offsetof(SNAPSHOT_SETTING, AutoCreate) + offsetof(AUTO_CREATE_SETTING, dwCycleMinutes),
         19},
        {"bShowTrayIcon", offsetof(SNAPSHOT_SETTING, bShowTrayIcon), 71},
        {"bAutoRestore", offsetof(SNAPSHOT_SETTING, bAutoRestore), 75},
        {"dwRestoreChoice", offsetof(SNAPSHOT_SETTING, dwRestoreChoice), 79},
        {"EVENT_MONITOR_SETTING", sizeof(EVENT_MONITOR_SETTING), 48},
        {"EVENT_MONITOR_SETTING_SIZE", EVENT_MONITOR_SETTING_SIZE, 48},
        {"wFlags", offsetof(EVENT_MONITOR_SETTING, wFlags), 4},
        {"wCycleMinutes", offsetof(EVENT_MONITOR_SETTING, wCycleMinutes), 6},
        {"EVENT_FLAG_PROTECT_SYSTEM_FOLDER", EVENT_FLAG_PROTECT_SYSTEM_FOLDER, 1},
        {"EVENT_FLAG_SNAPSHOT_ON_INSTALL", EVENT_FLAG_SNAPSHOT_ON_INSTALL, 2},
        {"PRODUCT_INFO", sizeof(PRODUCT_INFO), 2616},
        {"PRODUCT_INFO_SIZE", PRODUCT_INFO_SIZE, 2616},
        {"szProductName", offsetof(PRODUCT_INFO, szProductName), 16},
        {"szCaption", offsetof(PRODUCT_INFO, szCaption), 536},
        {"SPACE_USAGE", sizeof(SPACE_USAGE), 8},
        {"SPACE_USAGE_SIZE", SPACE_USAGE_SIZE, 8},
        {"dwFree", offsetof(SPACE_USAGE, dwFree), 4},
        {"BOOT_RESTORE_REQUEST", sizeof(BOOT_RESTORE_REQUEST), 306},
        {"BOOT_RESTORE_REQUEST_SIZE", BOOT_RESTORE_REQUEST_SIZE, 306},
        {"dwSnapshotIndex", offsetof(BOOT_RESTORE_REQUEST, dwSnapshotIndex), 4},
        {"dwChoice", offsetof(BOOT_RESTORE_REQUEST, dwChoice), 8},
        {"dwReserved16", offsetof(BOOT_RESTORE_REQUEST, dwReserved16), 16},
        {"dwReserved298", offsetof(BOOT_RESTORE_REQUEST, dwReserved298), 298},
        {"dwRequester", offsetof(BOOT_RESTORE_REQUEST, dwRequester), 302},
        {"BOOT_ENTRY_REQUEST", sizeof(BOOT_ENTRY_REQUEST), 284},
        {"BOOT_ENTRY_REQUEST_SIZE", BOOT_ENTRY_REQUEST_SIZE, 284},
        {"bVersion", offsetof(BOOT_ENTRY_REQUEST, bVersion), 3},
        {"dwAction", offsetof(BOOT_ENTRY_REQUEST, dwAction), 4},
        {"szTitle", offsetof(BOOT_ENTRY_REQUEST, szTitle), 24},
        {"PASSWORD_BUFFER_SIZE", PASSWORD_BUFFER_SIZE, 260},
        {"WM_SHOWWAITING", WM_SHOWWAITING, 0x501},
        {"WM_CLOSEWAITING", WM_CLOSEWAITING, 0x502},
    };
    for (const Field& field : fields)
        EXPECT_EQ(field.actual, field.expected) << field.name;
    EXPECT_EQ(std::string(BOOT_ENTRY_TITLE), "Corvianex Recovery Environment");
}

}  // namespace

namespace {

// The stack slots a function's arguments take, in 32-bit words (each argument of these
// interfaces takes one slot on both architectures).
template <class Result, class... Arguments>
constexpr size_t ArgumentBytes(Result(WINAPI*)(Arguments...)) {
    return (0 + ... + ((sizeof(Arguments) + sizeof(void*) - 1) / sizeof(void*))) * 4;
}

// Reads the stack pointer inline, in the frame that makes the calls: a callee that removes
// more or fewer argument bytes than its caller pushed (a wrong size in an ordinal table or a
// declaration; only __stdcall on x86 can show it) moves it, and the caller's frame is then off.
#if defined(__i386__)
#define READ_STACK_POINTER(to) asm volatile("movl %%esp, %0" : "=r"(to))
#else
#define READ_STACK_POINTER(to) asm volatile("movq %%rsp, %0" : "=r"(to))
#endif

constexpr int kCalls = 20;

// A function that makes `call` kCalls times and returns how far that moved the stack pointer.
#define STACK_DRIFT_OF(call)                          \
    []() -> intptr_t {                                \
        uintptr_t before = 0, after = 0;              \
        READ_STACK_POINTER(before);                   \
        for (int i = 0; i < kCalls; ++i)              \
            (void)(call);                             \
        READ_STACK_POINTER(after);                    \
        return static_cast<intptr_t>(after - before); \
    }

DWORD g_value;
SNAPSHOT_SETTING g_snapshot{SNAPSHOT_SETTING_SIZE};
EVENT_MONITOR_SETTING g_events{EVENT_MONITOR_SETTING_SIZE};
PRODUCT_INFO g_product;
SPACE_USAGE g_usage;
BOOT_RESTORE_REQUEST g_restore{BOOT_RESTORE_REQUEST_SIZE};
BOOT_ENTRY_REQUEST g_entry;
char g_password[PASSWORD_BUFFER_SIZE];

// Where a function of another library that this program imports really is: taken as a
// constant, its address may be the import library's jump (jmp through the import slot).
const void* ImportedFunction(const void* address) {
    const auto* code = static_cast<const BYTE*>(address);
    if (code[0] != 0xFF || code[1] != 0x25) return address;
    int32_t operand = 0;
    std::memcpy(&operand, code + 2, sizeof operand);
#if defined(__i386__)
    const auto* slot = reinterpret_cast<const void* const*>(static_cast<uintptr_t>(operand));
#else
    const auto* slot = reinterpret_cast<const void* const*>(code + 6 + operand);  // rip-relative
#endif
    return *slot;
}

struct Import {
    const char* library;
    const char* name;
    WORD ordinal;              // as the library exports it
    size_t argumentBytes;      // the stdcall size of its arguments on x86
    const void* address;       // where this program's import of it leads
    size_t declaredBytes;      // what its declaration takes
    intptr_t (*stackDrift)();  // null: never called by the module
};

#define IMPORT(library, function, ordinal, bytes, call)                                 \
    Import {                                                                            \
        library, #function, ordinal, bytes, reinterpret_cast<const void*>(&::function), \
            ArgumentBytes(&::function), call                                            \
    }

// Every function the module imports, at the ordinal and with the argument size of the
// interface; each one called many times through its declaration leaves the caller's stack as
// it was. On x64 the caller removes the arguments, so only x86 can show a wrong size there.
TEST(EngineInterfaceTest, EachImportHasItsOrdinalArgumentSizeAndKeepsTheStack) {
    testsupport::TemporaryFolder engine(/*engine=*/true);
    const Import imports[] = {
        IMPORT("Pellucid.dll", GetProtectState, 2, 4, STACK_DRIFT_OF(::GetProtectState(&g_value))),
        IMPORT("Pellucid.dll", GetSnapshotCount, 3, 4,
               STACK_DRIFT_OF(::GetSnapshotCount(&g_value))),
        IMPORT("Pellucid.dll", EnableProtect, 5, 0, STACK_DRIFT_OF(::EnableProtect())),
        IMPORT("Pellucid.dll", DisableProtect, 6, 0, STACK_DRIFT_OF(::DisableProtect())),
        IMPORT("Pellucid.dll", SetBootRestore, 8, 4, STACK_DRIFT_OF(::SetBootRestore(&g_restore))),
        IMPORT("Pellucid.dll", GetSnapshotSetting, 20, 8,
               STACK_DRIFT_OF(::GetSnapshotSetting(&g_snapshot, SNAPSHOT_SETTING_SIZE))),
        IMPORT("Pellucid.dll", SetSnapshotSetting, 21, 8,
               STACK_DRIFT_OF(::SetSnapshotSetting(&g_snapshot, SNAPSHOT_SETTING_SIZE))),
        IMPORT("Pellucid.dll", GetEventMonitorSetting, 22, 8,
               STACK_DRIFT_OF(::GetEventMonitorSetting(&g_events, EVENT_MONITOR_SETTING_SIZE))),
        IMPORT("Pellucid.dll", SetEventMonitorSetting, 23, 8,
               STACK_DRIFT_OF(::SetEventMonitorSetting(&g_events, EVENT_MONITOR_SETTING_SIZE))),
        IMPORT("Pellucid.dll", PellucidGetProductInfo, 30, 8,
               STACK_DRIFT_OF(::PellucidGetProductInfo(&g_product, PRODUCT_INFO_SIZE))),
        IMPORT("Pellucid.dll", GetSpaceUsage, 31, 8,
               STACK_DRIFT_OF(::GetSpaceUsage(&g_usage, SPACE_USAGE_SIZE))),
        IMPORT("Pellucid.dll", RegisterTray, 32, 12,
               STACK_DRIFT_OF(::RegisterTray(L"Tray", L"C:\\Tray.exe", L"C:\\"))),
        IMPORT("Pellucid.dll", UnregisterTray, 33, 4, STACK_DRIFT_OF(::UnregisterTray(L"Tray"))),
        IMPORT("Pellucid.dll", GetCvxPassWord, 36, 4, STACK_DRIFT_OF(::GetCvxPassWord(g_password))),
        IMPORT("Pellucid.dll", SetCvxPassWord, 37, 4, STACK_DRIFT_OF(::SetCvxPassWord("pw"))),
        IMPORT("Pellucid.dll", ClearBootRestore, 38, 0, STACK_DRIFT_OF(::ClearBootRestore())),
        IMPORT("Marrowick.dll", SetBootEntry, 25, 4, STACK_DRIFT_OF(::SetBootEntry(&g_entry))),
        IMPORT("Tessvane.dll", ResizeProtectedArea, 1, 4, nullptr),
    };
    for (const Import& import : imports) {
        SCOPED_TRACE(import.name);
        const HMODULE library = ::GetModuleHandleA(import.library);
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(ImportedFunction(import.address), reinterpret_cast<const void*>(::GetProcAddress(
                                                        library, MAKEINTRESOURCEA(import.ordinal))))
            << "not the export at ordinal " << import.ordinal;
        EXPECT_EQ(import.declaredBytes, import.argumentBytes);
        if (import.stackDrift) {
            EXPECT_EQ(import.stackDrift(), 0) << "bytes left on the stack";
        }
    }
}

}  // namespace
