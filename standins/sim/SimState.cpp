#include "SimState.h"

#include <map>
#include <mutex>
#include <optional>

namespace sim {

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
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto known = m_states.find(path);
        if (known == m_states.end() || !(known->second.first == stamp)) return std::nullopt;
        return known->second.second;
    }
    void Remember(const std::wstring& path, const EngineState& state) {
        const auto stamp = StampOf(path);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (stamp && !Recent(stamp->written)) {
            m_states[path] = {*stamp, state};
        } else {
            m_states.erase(path);
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

    std::mutex m_mutex;
    std::map<std::wstring, std::pair<FileStamp, EngineState>> m_states;
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
    : m_folder(std::move(folder)), m_lock(m_folder) {
    const std::wstring path = JoinPath(m_folder, kStateFileName);
    const auto stamp = StampOf(path);
    if (stamp) {
        if (auto known = Known().Find(path, *stamp)) {
            m_state = std::move(*known);
            return;
        }
    }
    std::string content;
    if (ReadWholeFile(path, content)) {
        m_state = ParseState(content);
    } else {
        WriteWholeFile(path, FormatState(m_state));  // first use: the defaults
    }
    Known().Remember(path, m_state);
}

void StateTransaction::Commit() {
    const std::wstring path = JoinPath(m_folder, kStateFileName);
    WriteWholeFile(path, FormatState(m_state));
    Known().Remember(path, m_state);
}

void StateTransaction::Journal(const std::string& line) {
    AppendToFile(JoinPath(m_folder, kJournalFileName), line);
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
