// The simulated engine's call journal, PellucidSim.journal beside PellucidSim.ini.
//
// Append-only UTF-8 text, one line per call, each written with a single append while the
// folder's lock is held, so lines of concurrent threads and processes never interleave
// and follow the order of the state changes:
//
//   <yyyy-mm-dd hh:mm:ss.mmm> [<pid>:<tid>] <Operation>(<name>=<value>, ...) = <result>
//
// A value is one of
//   1234 / 0x0000ABCD     a number (outputs are shown after the call, e.g. state=1)
//   "text"                a string, quoted as in PellucidSim.ini (\\, \", \xNN; UTF-8)
//   "text" {6162}         an ANSI password: its text and its bytes in hex
//   {87000000 01000000}   a record's bytes in memory order, 4 to a group
//   NULL                  a null pointer
//   (not filled)          an output the call did not write (failure); (not read): an input
//                         it refused to read (wrong size)
//
// Set* calls show the record they were given, Get* calls the record they returned.
//
//   2025-01-31 09:15:02.481 [32:48] GetProtectState(state=1) = 0
//
// and, with time, process and thread left out:
//
//   GetSnapshotSetting(setting={87000000 01000000 ...}, size=135) = 0
//   GetEventMonitorSetting(setting=(not filled), size=47) = 87
//   SetCvxPassWord(password="s3cret" {73336372 6574}) = 0
//   SetBootRestore(request={32010000 ...}, index=2, choice=1, requester=0x00A1B2C8) = 0
//   SetBootEntry(request={02200003 ...}, action=1, title="Corvianex Recovery Environment") = 0
//   Tessinit(commandLine=" -RESIZE", folder="Z:\\prod", initNvOk="TRUE") = 0
//   TrayStarted(commandLine="\"Z:\\prod\\CorvianexTray.exe\"", folder="Z:\\prod") = 0
#pragma once

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Builds one journal line.
class CallLine {
public:
    explicit CallLine(std::string operation) : m_operation(std::move(operation)) {}

    CallLine& Number(const char* name, DWORD value);
    CallLine& HexNumber(const char* name, DWORD value);
    CallLine& Text(const char* name, const wchar_t* text);   // NULL when null
    CallLine& Ansi(const char* name, const char* text);      // "text"; NULL when null
    CallLine& Password(const char* name, const char* text);  // "text" {hex}; NULL when null
    CallLine& Bytes(const char* name, const void* data, size_t size);
    CallLine& Remark(const char* name, const char* remark);  // (remark)
    CallLine& Null(const char* name);                        // NULL

    // The whole line with time, process, thread and the line end.
    std::string Finish(DWORD result) const;

private:
    void Add(const char* name, const std::string& value);

    std::string m_operation;
    std::string m_arguments;
};

struct JournalEntry {
    std::string time;
    DWORD processId = 0;
    DWORD threadId = 0;
    std::string operation;
    std::string arguments;    // the raw text between the parentheses
    bool hasBytes = false;    // the call carried a record or password
    std::vector<BYTE> bytes;  // its bytes: the first {...} of the arguments
    DWORD result = 0;
    std::string line;  // the whole line, without its end

    std::optional<std::string> Argument(std::string_view name) const;  // raw value text
    std::optional<DWORD> Number(std::string_view name) const;
    std::optional<std::wstring> Text(std::string_view name) const;
    std::optional<std::string> Ansi(std::string_view name) const;
    std::optional<std::vector<BYTE>> Bytes(std::string_view name) const;

    // The bytes of argument `name` as a record, when their count is the record's size.
    template <class Record>
    std::optional<Record> RecordArg(std::string_view name) const {
        const auto data = Bytes(name);
        if (!data || data->size() != sizeof(Record)) {
            return std::nullopt;
        }
        Record record;
        std::memcpy(&record, data->data(), sizeof(Record));
        return record;
    }
};

// Throws std::runtime_error for a line that is not in the journal's form.
JournalEntry ParseJournalLine(std::string_view line);

std::vector<JournalEntry> ReadJournal(const std::wstring& folder);
// Only the entries of one operation, in journal order.
std::vector<JournalEntry> ReadJournal(const std::wstring& folder, std::string_view operation);
void ClearJournal(const std::wstring& folder);
// Appends a finished line under the folder's lock.
void AppendJournal(const std::wstring& folder, const std::string& line);

}  // namespace sim
