// Binary records exchanged with the engine library (Pellucid.dll) and the boot-entry
// library (Marrowick.dll). They are wire formats of closed libraries: byte-packed,
// little-endian, fixed size. Every offset is checked at compile time below.
#pragma once

#include <cstddef>

#include "EngineTypes.h"

#pragma pack(push, 1)

// Scheduled-snapshot part of SNAPSHOT_SETTING (record offsets 4 to 22).
struct AUTO_CREATE_SETTING {
    DWORD bEnable;          // scheduled snapshots on (1) or off (0)
    BYTE reserved1[4];      //
    BYTE bSuppressToaster;  // 0 = show toaster messages, 1 = do not
    BYTE reserved2[6];      //
    DWORD dwCycleMinutes;   // schedule period; 0 when off, 15 for the first list entry
};

struct SNAPSHOT_SETTING {
    DWORD cbSize;  // always SNAPSHOT_SETTING_SIZE, set before reading
    AUTO_CREATE_SETTING AutoCreate;
    BYTE reserved3[48];
    DWORD bShowTrayIcon;    // 1 / 0
    DWORD bAutoRestore;     // restore at start-up armed: 1 / 0
    DWORD dwRestoreChoice;  // 1 = first entry of the restore list, 0 = second
    BYTE reserved4[52];
};

enum : WORD {
    EVENT_FLAG_PROTECT_SYSTEM_FOLDER = 0x0001,
    EVENT_FLAG_SNAPSHOT_ON_INSTALL = 0x0002,
};

struct EVENT_MONITOR_SETTING {
    DWORD cbSize;        // always EVENT_MONITOR_SETTING_SIZE
    WORD wFlags;         // EVENT_FLAG_* bits
    WORD wCycleMinutes;  // cyclic event snapshots; 0 = off, 30 for the first list entry
    BYTE reserved[40];
};

struct PRODUCT_INFO {
    BYTE reserved[16];
    WCHAR szProductName[260];  // replaces "[PRODUCTNAME]" in texts
    WCHAR szCaption[1040];     // NUL-terminated; the rest of the record is the engine's
};

struct SPACE_USAGE {
    DWORD dwTotal;  // size of the protected area, in the engine's unit
    DWORD dwFree;   // free space in it
};

struct BOOT_RESTORE_REQUEST {
    DWORD cbSize;           // BOOT_RESTORE_REQUEST_SIZE
    DWORD dwSnapshotIndex;  // snapshot count - 1 (the latest)
    DWORD dwChoice;         // 0 for the second restore-list entry, 1 otherwise
    BYTE reserved1[4];
    DWORD dwReserved16;  // zero, set explicitly
    BYTE reserved2[278];
    DWORD dwReserved298;  // zero, set explicitly
    DWORD dwRequester;    // address of the requesting settings dialog object (32 bits)
};

struct BOOT_ENTRY_REQUEST {
    BYTE bType;      // constant 2
    BYTE bFlags;     // constant 0x20
    BYTE bReserved;  // 0
    BYTE bVersion;   // constant 3
    DWORD dwAction;  // 1 set the entry, 0 clear it
    BYTE reserved[16];
    char szTitle[260];  // ANSI, NUL-terminated
};

#pragma pack(pop)

constexpr DWORD SNAPSHOT_SETTING_SIZE = 135;
constexpr DWORD EVENT_MONITOR_SETTING_SIZE = 48;
constexpr DWORD PRODUCT_INFO_SIZE = 2616;
constexpr DWORD SPACE_USAGE_SIZE = 8;
constexpr DWORD BOOT_RESTORE_REQUEST_SIZE = 306;
constexpr DWORD BOOT_ENTRY_REQUEST_SIZE = 284;
constexpr DWORD PASSWORD_BUFFER_SIZE = 260;  // ANSI password: 259 bytes and the NUL

constexpr char BOOT_ENTRY_TITLE[] = "Corvianex Recovery Environment";

static_assert(sizeof(SNAPSHOT_SETTING) == SNAPSHOT_SETTING_SIZE);
static_assert(offsetof(SNAPSHOT_SETTING, AutoCreate) + offsetof(AUTO_CREATE_SETTING, bEnable) == 4);
static_assert(offsetof(SNAPSHOT_SETTING, AutoCreate) +
                  offsetof(AUTO_CREATE_SETTING, bSuppressToaster) ==
              12);
static_assert(offsetof(SNAPSHOT_SETTING, AutoCreate) +
                  offsetof(AUTO_CREATE_SETTING, dwCycleMinutes) ==
              19);
static_assert(offsetof(SNAPSHOT_SETTING, reserved3) == 23);
static_assert(offsetof(SNAPSHOT_SETTING, bShowTrayIcon) == 71);
static_assert(offsetof(SNAPSHOT_SETTING, bAutoRestore) == 75);
static_assert(offsetof(SNAPSHOT_SETTING, dwRestoreChoice) == 79);
static_assert(offsetof(SNAPSHOT_SETTING, reserved4) == 83);

static_assert(sizeof(EVENT_MONITOR_SETTING) == EVENT_MONITOR_SETTING_SIZE);
static_assert(offsetof(EVENT_MONITOR_SETTING, wFlags) == 4);
static_assert(offsetof(EVENT_MONITOR_SETTING, wCycleMinutes) == 6);
static_assert(offsetof(EVENT_MONITOR_SETTING, reserved) == 8);

static_assert(sizeof(PRODUCT_INFO) == PRODUCT_INFO_SIZE);
static_assert(offsetof(PRODUCT_INFO, szProductName) == 16);
static_assert(offsetof(PRODUCT_INFO, szCaption) == 536);

static_assert(sizeof(SPACE_USAGE) == SPACE_USAGE_SIZE);
static_assert(offsetof(SPACE_USAGE, dwFree) == 4);

static_assert(sizeof(BOOT_RESTORE_REQUEST) == BOOT_RESTORE_REQUEST_SIZE);
static_assert(offsetof(BOOT_RESTORE_REQUEST, dwSnapshotIndex) == 4);
static_assert(offsetof(BOOT_RESTORE_REQUEST, dwChoice) == 8);
static_assert(offsetof(BOOT_RESTORE_REQUEST, dwReserved16) == 16);
static_assert(offsetof(BOOT_RESTORE_REQUEST, reserved2) == 20);
static_assert(offsetof(BOOT_RESTORE_REQUEST, dwReserved298) == 298);
static_assert(offsetof(BOOT_RESTORE_REQUEST, dwRequester) == 302);

static_assert(sizeof(BOOT_ENTRY_REQUEST) == BOOT_ENTRY_REQUEST_SIZE);
static_assert(offsetof(BOOT_ENTRY_REQUEST, bVersion) == 3);
static_assert(offsetof(BOOT_ENTRY_REQUEST, dwAction) == 4);
static_assert(offsetof(BOOT_ENTRY_REQUEST, reserved) == 8);
static_assert(offsetof(BOOT_ENTRY_REQUEST, szTitle) == 24);
static_assert(sizeof(BOOT_ENTRY_TITLE) <= sizeof(BOOT_ENTRY_REQUEST::szTitle));
