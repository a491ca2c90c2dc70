// The definitions the module shares with the stand-ins of the engine and boot libraries,
// against the interface's literal values. End-to-end tests cannot see a wrong shared value:
// module and stand-in change together. (The ordinals are checked in the built module's import
// table, tests/binaries.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "EngineRecords.h"
#include "SettingDlg.h"

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
