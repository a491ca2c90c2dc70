#include "SimSchema.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "StateFileReader.h"
#include "StateFileWriter.h"

namespace sim {
namespace {

std::string Mebibytes(DWORD value) {
    char text[32];
    snprintf(text, sizeof text, "%0.3f", value / 1048576.0);
    return text;
}

std::string DescribeSpaceUsage(const SPACE_USAGE& usage) {
    const DWORD used = usage.dwTotal - usage.dwFree;
    return Mebibytes(used) + " MiB used of " + Mebibytes(usage.dwTotal) + " MiB";
}

std::string DescribeSnapshotSetting(const SNAPSHOT_SETTING& s) {
    const AUTO_CREATE_SETTING& a = s.AutoCreate;
    return std::string("schedule ") + (a.bEnable ? "on" : "off") + " every " +
           std::to_string(a.dwCycleMinutes) + " min, toaster " +
           (a.bSuppressToaster ? "suppressed" : "shown") + ", tray icon " +
           (s.bShowTrayIcon ? "shown" : "hidden") + ", restore at start-up " +
           (s.bAutoRestore ? "on" : "off") + ", choice " + std::to_string(s.dwRestoreChoice);
}

std::string DescribeEventMonitorSetting(const EVENT_MONITOR_SETTING& e) {
    char text[64];
    snprintf(text, sizeof text, "flags 0x%04X, period %u min", e.wFlags,
             static_cast<unsigned>(e.wCycleMinutes));
    return text;
}

// Every key of the file, once, in the file's order, with the field it holds and the comments
// the file carries. `File` is a StateFileReader (filling a State) or a StateFileWriter (writing
// a const State).
template <class File, class State>
void VisitStateFile(File& file, State& s) {
    file.Comment("State of the simulated snapshot engine. Rewritten whole on every change;");
    file.Comment("numbers decimal or 0x hex, texts quoted with \\\\, \\\" and \\xNN escapes.");

    file.Section("Engine");
    file.Flag("ProtectState", s.protectOn);
    file.Number("SnapshotCount", s.snapshotCount);
    file.Wide("ProductName", s.productName);
    file.Wide("ProductCaption", s.productCaption);
    file.Comment("ANSI bytes; \"\" = no password");
    file.Ansi("Password", s.password);

    file.Section("SpaceUsage");
    file.Describe([&] { return DescribeSpaceUsage(s.spaceUsage); });
    file.Number("Total", s.spaceUsage.dwTotal);
    file.Number("Free", s.spaceUsage.dwFree);

    file.Section("SnapshotSetting");
    file.Comment("135 bytes, 16 a line; key = byte offset");
    file.Describe([&] { return DescribeSnapshotSetting(s.snapshotSetting); });
    file.Record(s.snapshotSetting);

    file.Section("EventMonitorSetting");
    file.Comment("48 bytes, 16 a line; key = byte offset");
    file.Describe([&] { return DescribeEventMonitorSetting(s.eventMonitorSetting); });
    file.Record(s.eventMonitorSetting);

    file.Section("BootRestore");
    file.Flag("Armed", s.bootRestore.armed);
    file.Number("SnapshotIndex", s.bootRestore.snapshotIndex);
    file.Number("Choice", s.bootRestore.choice);
    file.HexNumber("Requester", s.bootRestore.requester);

    file.Section("BootEntry");
    file.Flag("Present", s.bootEntry.present);
    file.Ansi("Title", s.bootEntry.title);

    file.Section("Tray");
    file.Flag("Registered", s.tray.registered);
    file.Wide("Name", s.tray.name);
    file.Wide("Path", s.tray.path);
    file.Wide("Folder", s.tray.folder);

    file.Section("Fail");
    file.Comment("<operation> = <nonzero code the call returns instead of running>");
    file.Table(s.failures);

    file.Section("Delay");
    file.Comment("<operation> = <milliseconds slept before the call>");
    file.Table(s.delays);

    file.Section("Tessinit");
    file.Number("DelayMs", s.tessinit.delayMs);
    file.Comment("HKCR\\Merrowfield\\InitNvOk after a resize: a text, or \"<absent>\" (delete),");
    file.Comment("\"<dword>\" (REG_DWORD 1) or \"<keep>\" (leave it alone)");
    file.Wide("InitNvOk", s.tessinit.initNvOk);
    file.Comment("NewTotal / NewFree, when present: the space usage after a resize");
    file.OptionalNumber("NewTotal", s.tessinit.newTotal);
    file.OptionalNumber("NewFree", s.tessinit.newFree);
}

template <class Record>
bool SameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

bool SameTessinit(const TessinitSettings& a, const TessinitSettings& b) {
    return a.delayMs == b.delayMs && a.initNvOk == b.initNvOk && a.newTotal == b.newTotal &&
           a.newFree == b.newFree;
}

bool SameBootAndTray(const EngineState& a, const EngineState& b) {
    const BootRestore& ra = a.bootRestore;
    const BootRestore& rb = b.bootRestore;
    return ra.armed == rb.armed && ra.snapshotIndex == rb.snapshotIndex && ra.choice == rb.choice &&
           ra.requester == rb.requester && a.bootEntry.present == b.bootEntry.present &&
           a.bootEntry.title == b.bootEntry.title && a.tray.registered == b.tray.registered &&
           a.tray.name == b.tray.name && a.tray.path == b.tray.path &&
           a.tray.folder == b.tray.folder;
}

DWORD Lookup(const OperationTable& table, std::string_view operation) {
    const auto found = table.find(std::string(operation));
    return found == table.end() ? 0 : found->second;
}

}  // namespace

bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

SNAPSHOT_SETTING DefaultSnapshotSetting() {
    SNAPSHOT_SETTING setting{};
    setting.cbSize = SNAPSHOT_SETTING_SIZE;
    setting.AutoCreate.bEnable = 1;
    setting.AutoCreate.bSuppressToaster = 0;
    setting.AutoCreate.dwCycleMinutes = 120;
    setting.bShowTrayIcon = 1;
    setting.bAutoRestore = 0;
    setting.dwRestoreChoice = 1;
    return setting;
}

EVENT_MONITOR_SETTING DefaultEventMonitorSetting() {
    EVENT_MONITOR_SETTING setting{};
    setting.cbSize = EVENT_MONITOR_SETTING_SIZE;
    setting.wFlags = EVENT_FLAG_PROTECT_SYSTEM_FOLDER;
    setting.wCycleMinutes = 30;
    return setting;
}

DWORD EngineState::FailureFor(std::string_view operation) const {
    return Lookup(failures, operation);
}

DWORD EngineState::DelayFor(std::string_view operation) const {
    return Lookup(delays, operation);
}

bool operator==(const EngineState& a, const EngineState& b) {
    return a.protectOn == b.protectOn && a.snapshotCount == b.snapshotCount &&
           a.productName == b.productName && a.productCaption == b.productCaption &&
           a.password == b.password && SameBytes(a.spaceUsage, b.spaceUsage) &&
           SameBytes(a.snapshotSetting, b.snapshotSetting) &&
           SameBytes(a.eventMonitorSetting, b.eventMonitorSetting) && SameBootAndTray(a, b) &&
           a.failures == b.failures && a.delays == b.delays && SameTessinit(a.tessinit, b.tessinit);
}

std::string FormatState(const EngineState& state) {
    StateFileWriter file;
    VisitStateFile(file, state);
    return file.Text();
}

EngineState ParseState(std::string_view text) {
    StateFileReader file(text);
    EngineState state;
    VisitStateFile(file, state);
    return state;
}

}  // namespace sim
