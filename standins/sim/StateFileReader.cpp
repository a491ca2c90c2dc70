#include "StateFileReader.h"

#include <algorithm>
#include <cstring>

#include "SimText.h"

namespace sim {
namespace {

// The next line of `text` without its line end, taken off `text`.
std::string_view TakeLine(std::string_view& text) {
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

}  // namespace

StateFileReader::StateFileReader(std::string_view text) {
    while (!text.empty()) {
        const std::string_view line = text::Trim(TakeLine(text));
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            m_sections.push_back({std::string(text::Trim(line.substr(1, line.size() - 2))), {}});
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || m_sections.empty()) {
            continue;  // not a key line: ignored like any other unreadable line
        }
        m_sections.back().lines.emplace_back(std::string(text::Trim(line.substr(0, equals))),
                                             std::string(text::Trim(line.substr(equals + 1))));
    }
}

const StateFileReader::Entries* StateFileReader::Find(std::string_view section) const {
    for (const Entries& entries : m_sections) {
        if (text::EqualNoCase(entries.name, section)) {
            return &entries;
        }
    }
    return nullptr;
}

const std::string* StateFileReader::Raw(const char* key) const {
    if (m_section == nullptr) {
        return nullptr;
    }
    for (const auto& [name, value] : m_section->lines) {
        if (text::EqualNoCase(name, key)) {
            return &value;
        }
    }
    return nullptr;
}

void StateFileReader::Number(const char* key, DWORD& value) const {
    if (const std::string* raw = Raw(key)) {
        if (auto number = text::ParseNumber(*raw)) {
            value = *number;
        }
    }
}

void StateFileReader::OptionalNumber(const char* key, std::optional<DWORD>& value) const {
    if (const std::string* raw = Raw(key)) {
        value = text::ParseNumber(*raw);
    }
}

void StateFileReader::Flag(const char* key, bool& value) const {
    DWORD number = value ? 1 : 0;
    Number(key, number);
    value = number != 0;
}

void StateFileReader::Ansi(const char* key, std::string& value) const {
    if (const std::string* raw = Raw(key)) {
        if (raw->empty() || raw->front() != '"') {
            value = *raw;  // hand-written, unquoted
        } else if (auto unquoted = text::Unquote(*raw)) {
            value = *unquoted;
        }
    }
}

void StateFileReader::Wide(const char* key, std::wstring& value) const {
    std::string utf8 = text::ToUtf8(value);
    Ansi(key, utf8);
    value = text::FromUtf8(utf8);
}

void StateFileReader::Bytes(void* record, size_t size) const {
    if (m_section == nullptr) {
        return;
    }
    std::memset(record, 0, size);
    for (const auto& [key, value] : m_section->lines) {
        const auto offset = text::ParseNumber(key);
        const auto bytes = text::ParseHex(value);
        if (!offset || !bytes || *offset >= size) {
            continue;
        }
        const size_t count = std::min<size_t>(bytes->size(), size - *offset);
        std::memcpy(static_cast<BYTE*>(record) + *offset, bytes->data(), count);
    }
}

void StateFileReader::Table(OperationTable& table) const {
    if (m_section == nullptr) {
        return;
    }
    table.clear();
    for (const auto& [key, value] : m_section->lines) {
        const auto number = text::ParseNumber(value);
        if (number && *number != 0) {
            table[key] = *number;
        }
    }
}

}  // namespace sim
