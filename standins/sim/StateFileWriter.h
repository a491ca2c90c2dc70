// Writing PellucidSim.ini's text, whole: "[Section]" headers with a blank line before each but
// the first thing written, "; comment" lines, "key = value" lines with CRLF line ends; numbers
// decimal (or 0x%08X where a key holds an address), booleans 0 / 1, texts quoted (SimText.h),
// records as lines of 16 hex bytes keyed by their byte offset ("016"). Internal to the
// stand-ins.
//
// The keys are visited section by section (SimSchema.cpp), in the order the file holds them.
#pragma once

#include "EngineTypes.h"

#include <optional>
#include <string>

#include "SimSchema.h"

namespace sim {

class StateFileWriter {
public:
    void Section(const char* name);
    void Comment(const std::string& comment);
    // A comment made from the state: `makeText()` gives its text.
    template <class MakeText>
    void Describe(MakeText&& makeText) {
        Comment(makeText());
    }

    void Flag(const char* key, bool value) { Value(key, value ? "1" : "0"); }
    void Number(const char* key, DWORD value) { Value(key, std::to_string(value)); }
    void HexNumber(const char* key, DWORD value);
    // Written only when there is one.
    void OptionalNumber(const char* key, const std::optional<DWORD>& value);
    void Wide(const char* key, const std::wstring& value);
    void Ansi(const char* key, const std::string& value);

    template <class RecordType>
    void Record(const RecordType& record) {
        Bytes(&record, sizeof record);
    }
    void Table(const OperationTable& table);

    const std::string& Text() const { return m_text; }

private:
    void Value(const std::string& key, const std::string& value);
    void Bytes(const void* record, size_t size);

    std::string m_text;
};

}  // namespace sim
