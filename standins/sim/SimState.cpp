#include "SimState.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "SimText.h"

namespace sim {

namespace {

// ---- Reading: a minimal INI model that keeps the order of sections and keys -------------

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

std::vector<Section> ParseIni(std::string_view text) {
    std::vector<Section> sections;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line =
            text::Trim(text.substr(0, end == std::string_view::npos ? text.size() : end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({std::string(text::Trim(line.substr(1, line.size() - 2))), {}});
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || sections.empty()) {
            continue;  // not a key line: ignored like any other unreadable line
        }
        sections.back().entries.emplace_back(std::string(text::Trim(line.substr(0, equals))),
                                             std::string(text::Trim(line.substr(equals + 1))));
    }
    return sections;
}

const Section* FindSection(const std::vector<Section>& sections, std::string_view name) {
    for (const Section& section : sections) {
        if (text::EqualNoCase(section.name, name)) {
            return &section;
        }
    }
    return nullptr;
}

class IniReader {
public:
    explicit IniReader(std::string_view text) : sections_(ParseIni(text)) {}

    const Section* Find(std::string_view section) const { return FindSection(sections_, section); }

    const std::string* Raw(std::string_view section, std::string_view key) const {
        const Section* found = Find(section);
        if (found == nullptr) {
            return nullptr;
        }
        for (const auto& [name, value] : found->entries) {
            if (text::EqualNoCase(name, key)) {
                return &value;
            }
        }
        return nullptr;
    }

    void Number(std::string_view section, std::string_view key, DWORD& value) const {
        if (const std::string* raw = Raw(section, key)) {
            if (auto number = text::ParseNumber(*raw)) {
                value = *number;
            }
        }
    }

    void Number(std::string_view section, std::string_view key, std::optional<DWORD>& value) const {
        if (const std::string* raw = Raw(section, key)) {
            value = text::ParseNumber(*raw);
        }
    }

    void Flag(std::string_view section, std::string_view key, bool& value) const {
        DWORD number = value ? 1 : 0;
        Number(section, key, number);
        value = number != 0;
    }

    void Ansi(std::string_view section, std::string_view key, std::string& value) const {
        if (const std::string* raw = Raw(section, key)) {
            if (raw->empty() || raw->front() != '"') {
                value = *raw;  // hand-written, unquoted
            } else if (auto unquoted = text::Unquote(*raw)) {
                value = *unquoted;
            }
        }
    }

    void Wide(std::string_view section, std::string_view key, std::wstring& value) const {
        std::string utf8 = text::ToUtf8(value);
        Ansi(section, key, utf8);
        value = text::FromUtf8(utf8);
    }

    // A present section describes the whole record: bytes it does not give are zero.
    void Record(std::string_view section, void* record, size_t size) const {
        const Section* found = Find(section);
        if (found == nullptr) {
            return;
        }
        std::memset(record, 0, size);
        for (const auto& [key, value] : found->entries) {
            const auto offset = text::ParseNumber(key);
            const auto bytes = text::ParseHex(value);
            if (!offset || !bytes || *offset >= size) {
                continue;
            }
            const size_t count = std::min<size_t>(bytes->size(), size - *offset);
            std::memcpy(static_cast<BYTE*>(record) + *offset, bytes->data(), count);
        }
    }

    void Table(std::string_view section, OperationTable& table) const {
        const Section* found = Find(section);
        if (found == nullptr) {
            return;
        }
        table.clear();
        for (const auto& [key, value] : found->entries) {
            const auto number = text::ParseNumber(value);
            if (number && *number != 0) {
                table[key] = *number;
            }
        }
    }

private:
    std::vector<Section> sections_;
};

// ---- Writing ------------------------------------------------------------------------------

class IniWriter {
public:
    void Section(const char* name) {
        if (!text_.empty()) {
            text_ += "\r\n";
        }
        text_ += std::string("[") + name + "]\r\n";
    }
    void Comment(const std::string& comment) { text_ += "; " + comment + "\r\n"; }
    void Value(const std::string& key, const std::string& value) {
        text_ += key + " = " + value + "\r\n";
    }
    void Number(const char* key, DWORD value) { Value(key, std::to_string(value)); }
    void Flag(const char* key, bool value) { Value(key, value ? "1" : "0"); }
    void Wide(const char* key, const std::wstring& value) { Value(key, text::QuoteWide(value)); }
    void Ansi(const char* key, const std::string& value) { Value(key, text::QuoteAnsi(value)); }

    void Record(const void* record, size_t size) {
        char offset[8];
        for (size_t at = 0; at < size; at += 16) {
            snprintf(offset, sizeof offset, "%03u", static_cast<unsigned>(at));
            Value(offset, text::Hex(static_cast<const BYTE*>(record) + at,
                                    std::min<size_t>(16, size - at), 1));
        }
    }

    void Table(const OperationTable& table) {
        for (const auto& [operation, value] : table) {
            Number(operation.c_str(), value);
        }
    }

    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

std::string Mebibytes(DWORD value) {
    char text[32];
    snprintf(text, sizeof text, "%0.3f", value / 1048576.0);
    return text;
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

void WriteEngine(IniWriter& ini, const EngineState& s) {
    ini.Section("Engine");
    ini.Flag("ProtectState", s.protectOn);
    ini.Number("SnapshotCount", s.snapshotCount);
    ini.Wide("ProductName", s.productName);
    ini.Wide("ProductCaption", s.productCaption);
    ini.Comment("ANSI bytes; \"\" = no password");
    ini.Ansi("Password", s.password);

    ini.Section("SpaceUsage");
    const DWORD used = s.spaceUsage.dwTotal - s.spaceUsage.dwFree;
    ini.Comment(Mebibytes(used) + " MiB used of " + Mebibytes(s.spaceUsage.dwTotal) + " MiB");
    ini.Number("Total", s.spaceUsage.dwTotal);
    ini.Number("Free", s.spaceUsage.dwFree);
}

void WriteRecords(IniWriter& ini, const EngineState& s) {
    ini.Section("SnapshotSetting");
    ini.Comment("135 bytes, 16 a line; key = byte offset");
    ini.Comment(DescribeSnapshotSetting(s.snapshotSetting));
    ini.Record(&s.snapshotSetting, sizeof s.snapshotSetting);

    ini.Section("EventMonitorSetting");
    ini.Comment("48 bytes, 16 a line; key = byte offset");
    ini.Comment(DescribeEventMonitorSetting(s.eventMonitorSetting));
    ini.Record(&s.eventMonitorSetting, sizeof s.eventMonitorSetting);
}

void WriteBootAndTray(IniWriter& ini, const EngineState& s) {
    ini.Section("BootRestore");
    ini.Flag("Armed", s.bootRestore.armed);
    ini.Number("SnapshotIndex", s.bootRestore.snapshotIndex);
    ini.Number("Choice", s.bootRestore.choice);
    ini.Value("Requester", text::HexNumber(s.bootRestore.requester));

    ini.Section("BootEntry");
    ini.Flag("Present", s.bootEntry.present);
    ini.Ansi("Title", s.bootEntry.title);

    ini.Section("Tray");
    ini.Flag("Registered", s.tray.registered);
    ini.Wide("Name", s.tray.name);
    ini.Wide("Path", s.tray.path);
    ini.Wide("Folder", s.tray.folder);
}

void WriteControls(IniWriter& ini, const EngineState& s) {
    ini.Section("Fail");
    ini.Comment("<operation> = <nonzero code the call returns instead of running>");
    ini.Table(s.failures);

    ini.Section("Delay");
    ini.Comment("<operation> = <milliseconds slept before the call>");
    ini.Table(s.delays);

    ini.Section("Tessinit");
    ini.Number("DelayMs", s.tessinit.delayMs);
    ini.Comment("HKCR\\Merrowfield\\InitNvOk after a resize: a text, or \"<absent>\" (delete),");
    ini.Comment("\"<dword>\" (REG_DWORD 1) or \"<keep>\" (leave it alone)");
    ini.Wide("InitNvOk", s.tessinit.initNvOk);
    ini.Comment("NewTotal / NewFree, when present: the space usage after a resize");
    if (s.tessinit.newTotal) {
        ini.Number("NewTotal", *s.tessinit.newTotal);
    }
    if (s.tessinit.newFree) {
        ini.Number("NewFree", *s.tessinit.newFree);
    }
}

// ---- Comparison ---------------------------------------------------------------------------

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
    return _stricmp(a.c_str(), b.c_str()) < 0;
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
    IniWriter ini;
    ini.Comment("State of the simulated snapshot engine. Rewritten whole on every change;");
    ini.Comment("numbers decimal or 0x hex, texts quoted with \\\\, \\\" and \\xNN escapes.");
    WriteEngine(ini, state);
    WriteRecords(ini, state);
    WriteBootAndTray(ini, state);
    WriteControls(ini, state);
    return ini.Text();
}

EngineState ParseState(std::string_view text) {
    const IniReader ini(text);
    EngineState s;
    ini.Flag("Engine", "ProtectState", s.protectOn);
    ini.Number("Engine", "SnapshotCount", s.snapshotCount);
    ini.Wide("Engine", "ProductName", s.productName);
    ini.Wide("Engine", "ProductCaption", s.productCaption);
    ini.Ansi("Engine", "Password", s.password);
    ini.Number("SpaceUsage", "Total", s.spaceUsage.dwTotal);
    ini.Number("SpaceUsage", "Free", s.spaceUsage.dwFree);
    ini.Record("SnapshotSetting", &s.snapshotSetting, sizeof s.snapshotSetting);
    ini.Record("EventMonitorSetting", &s.eventMonitorSetting, sizeof s.eventMonitorSetting);
    ini.Flag("BootRestore", "Armed", s.bootRestore.armed);
    ini.Number("BootRestore", "SnapshotIndex", s.bootRestore.snapshotIndex);
    ini.Number("BootRestore", "Choice", s.bootRestore.choice);
    ini.Number("BootRestore", "Requester", s.bootRestore.requester);
    ini.Flag("BootEntry", "Present", s.bootEntry.present);
    ini.Ansi("BootEntry", "Title", s.bootEntry.title);
    ini.Flag("Tray", "Registered", s.tray.registered);
    ini.Wide("Tray", "Name", s.tray.name);
    ini.Wide("Tray", "Path", s.tray.path);
    ini.Wide("Tray", "Folder", s.tray.folder);
    ini.Table("Fail", s.failures);
    ini.Table("Delay", s.delays);
    ini.Number("Tessinit", "DelayMs", s.tessinit.delayMs);
    ini.Wide("Tessinit", "InitNvOk", s.tessinit.initNvOk);
    ini.Number("Tessinit", "NewTotal", s.tessinit.newTotal);
    ini.Number("Tessinit", "NewFree", s.tessinit.newFree);
    return s;
}

std::wstring HostFolder() {
    wchar_t folder[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(kFolderVariable, folder, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2) {
        return std::wstring(folder, length);
    }
    return ExecutableFolder();
}

namespace {

// The state as the file last held it, per folder, for this process: a real engine answers
// from memory, so the simulation reads and parses its file again only when the file has
// changed (size or time of last write) since this process last read or wrote it. Another
// process (a test, the tray application) that changes the file is seen at the next call.
// The file system stamps writes with a coarse clock: two writes of the same size within one
// tick look alike, so a file written in the last moments is not trusted to be unchanged.
struct FileStamp {
    ULONGLONG size = 0;
    FILETIME written{};
    bool operator==(const FileStamp& other) const {
        return size == other.size && written.dwLowDateTime == other.written.dwLowDateTime &&
               written.dwHighDateTime == other.written.dwHighDateTime;
    }
};

std::optional<FileStamp> StampOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return FileStamp{(ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                     data.ftLastWriteTime};
}

class KnownStates {
public:
    std::optional<EngineState> Find(const std::wstring& path, const FileStamp& stamp) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto known = states_.find(path);
        if (known == states_.end() || !(known->second.first == stamp)) return std::nullopt;
        return known->second.second;
    }
    void Remember(const std::wstring& path, const EngineState& state) {
        const auto stamp = StampOf(path);
        std::lock_guard<std::mutex> lock(mutex_);
        if (stamp && !Recent(stamp->written)) {
            states_[path] = {*stamp, state};
        } else {
            states_.erase(path);
        }
    }

private:
    static bool Recent(const FILETIME& written) {
        constexpr ULONGLONG kTrustedAfter = 50 * 10000;  // 50 ms in 100 ns units
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        const auto value = [](const FILETIME& t) {
            return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime;
        };
        return value(now) < value(written) + kTrustedAfter;
    }

    std::mutex mutex_;
    std::map<std::wstring, std::pair<FileStamp, EngineState>> states_;
};

// Made when the library loads: a function-local object would be made on first use through the
// thread runtime's guard, which costs the calling thread two handles that are never given back
// once the library unloads (the demo host's /reload unloads it with the module).
KnownStates g_known;

KnownStates& Known() {
    return g_known;
}

}  // namespace

// The folder's lock is held from here on: no other writer can change the file meanwhile.
StateTransaction::StateTransaction(std::wstring folder)
    : folder_(std::move(folder)), lock_(folder_) {
    const std::wstring path = JoinPath(folder_, kStateFileName);
    const auto stamp = StampOf(path);
    if (stamp) {
        if (auto known = Known().Find(path, *stamp)) {
            state_ = std::move(*known);
            return;
        }
    }
    std::string content;
    if (ReadWholeFile(path, content)) {
        state_ = ParseState(content);
    } else {
        WriteWholeFile(path, FormatState(state_));  // first use: the defaults
    }
    Known().Remember(path, state_);
}

void StateTransaction::Commit() {
    const std::wstring path = JoinPath(folder_, kStateFileName);
    WriteWholeFile(path, FormatState(state_));
    Known().Remember(path, state_);
}

void StateTransaction::Journal(const std::string& line) {
    AppendToFile(JoinPath(folder_, kJournalFileName), line);
}

EngineState ReadState(const std::wstring& folder) {
    return StateTransaction(folder).State();
}

void WriteState(const std::wstring& folder, const EngineState& state) {
    StateTransaction transaction(folder);
    transaction.State() = state;
    transaction.Commit();
}

void ResetState(const std::wstring& folder) {
    WriteState(folder, EngineState{});
}

void UpdateState(const std::wstring& folder, const std::function<void(EngineState&)>& change) {
    StateTransaction transaction(folder);
    change(transaction.State());
    transaction.Commit();
}

void SetFailure(const std::wstring& folder, const std::string& operation, DWORD code) {
    UpdateState(folder, [&](EngineState& state) {
        if (code == 0) {
            state.failures.erase(operation);
        } else {
            state.failures[operation] = code;
        }
    });
}

void SetDelay(const std::wstring& folder, const std::string& operation, DWORD milliseconds) {
    UpdateState(folder, [&](EngineState& state) {
        if (milliseconds == 0) {
            state.delays.erase(operation);
        } else {
            state.delays[operation] = milliseconds;
        }
    });
}

}  // namespace sim
