// Reading PellucidSim.ini's text: INI form, sections and "key = value" lines (";" and "#" start
// comments); numbers decimal or 0x hex, booleans 0 / 1, texts quoted (SimText.h) or taken as
// they stand, records as lines of hex bytes keyed by their decimal byte offset. Sections and
// keys are found without regard to case; a missing or unreadable value leaves its field as it
// was. Internal to the stand-ins.
//
// The keys are visited section by section (SimSchema.cpp): Section() names the section the
// next reads look in.
#pragma once

#include "EngineTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SimSchema.h"

namespace sim {

class StateFileReader {
public:
    explicit StateFileReader(std::string_view text);
    StateFileReader(const StateFileReader&) = delete;
    StateFileReader& operator=(const StateFileReader&) = delete;

    void Section(const char* name) { m_section = Find(name); }
    // What the file says about itself is of no use to a reader.
    void Comment(const char*) {}
    template <class MakeText>
    void Describe(MakeText&&) {}

    void Flag(const char* key, bool& value) const;
    void Number(const char* key, DWORD& value) const;
    void HexNumber(const char* key, DWORD& value) const { Number(key, value); }
    // Present: the number, or none when it does not parse; absent: left as it was.
    void OptionalNumber(const char* key, std::optional<DWORD>& value) const;
    void Wide(const char* key, std::wstring& value) const;
    void Ansi(const char* key, std::string& value) const;

    // A present section describes the whole record: bytes it does not give are zero.
    template <class RecordType>
    void Record(RecordType& record) const {
        Bytes(&record, sizeof record);
    }
    // A present section replaces the table: <operation> = <nonzero value>.
    void Table(OperationTable& table) const;

private:
    struct Entries {
        std::string name;
        std::vector<std::pair<std::string, std::string>> lines;  // key, value
    };

    const Entries* Find(std::string_view section) const;
    const std::string* Raw(const char* key) const;
    void Bytes(void* record, size_t size) const;

    std::vector<Entries> m_sections;  // in the file's order
    const Entries* m_section = nullptr;
};

}  // namespace sim
