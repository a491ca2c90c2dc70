#include "StateFileWriter.h"

#include <algorithm>
#include <cstdio>

#include "SimText.h"

namespace sim {

void StateFileWriter::Section(const char* name) {
    if (!m_text.empty()) {
        m_text += "\r\n";
    }
    m_text += std::string("[") + name + "]\r\n";
}

void StateFileWriter::Comment(const std::string& comment) {
    m_text += "; " + comment + "\r\n";
}

void StateFileWriter::Value(const std::string& key, const std::string& value) {
    m_text += key + " = " + value + "\r\n";
}

void StateFileWriter::HexNumber(const char* key, DWORD value) {
    Value(key, text::HexNumber(value));
}

void StateFileWriter::OptionalNumber(const char* key, const std::optional<DWORD>& value) {
    if (value) {
        Number(key, *value);
    }
}

void StateFileWriter::Wide(const char* key, const std::wstring& value) {
    Value(key, text::QuoteWide(value));
}

void StateFileWriter::Ansi(const char* key, const std::string& value) {
    Value(key, text::QuoteAnsi(value));
}

void StateFileWriter::Bytes(const void* record, size_t size) {
    char offset[8];
    for (size_t at = 0; at < size; at += 16) {
        snprintf(offset, sizeof offset, "%03u", static_cast<unsigned>(at));
        Value(offset,
              text::Hex(static_cast<const BYTE*>(record) + at, std::min<size_t>(16, size - at), 1));
    }
}

void StateFileWriter::Table(const OperationTable& table) {
    for (const auto& [operation, value] : table) {
        Number(operation.c_str(), value);
    }
}

}  // namespace sim
