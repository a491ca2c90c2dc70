#include "SimJournal.h"

#include <cstdio>
#include <stdexcept>

#include "SimFiles.h"
#include "SimState.h"
#include "SimText.h"

namespace sim {

namespace {

std::string Timestamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth,
             now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

// Splits "a=1, b=\"x, y\", c={00 11}" at the commas that separate arguments.
std::vector<std::string_view> SplitArguments(std::string_view text) {
    std::vector<std::string_view> parts;
    bool quoted = false;
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == '{' || c == '(') {
            ++depth;
        } else if (c == '}' || c == ')') {
            --depth;
        } else if (c == ',' && depth == 0) {
            parts.push_back(text::Trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    if (!text::Trim(text.substr(start)).empty()) {
        parts.push_back(text::Trim(text.substr(start)));
    }
    return parts;
}

// The {...} part of a value, outside its quoted text.
std::optional<std::vector<BYTE>> BracedBytes(std::string_view value) {
    size_t from = 0;
    if (!value.empty() && value[0] == '"' && !text::Unquote(value, &from)) {
        return std::nullopt;
    }
    const size_t open = value.find('{', from);
    const size_t close = value.find('}', open);
    if (open == std::string_view::npos || close == std::string_view::npos) {
        return std::nullopt;
    }
    return text::ParseHex(value.substr(open + 1, close - open - 1));
}

[[noreturn]] void Malformed(std::string_view line) {
    throw std::runtime_error("malformed journal line: " + std::string(line));
}

}  // namespace

void CallLine::Add(const char* name, const std::string& value) {
    if (!m_arguments.empty()) {
        m_arguments += ", ";
    }
    m_arguments += name;
    m_arguments += '=';
    m_arguments += value;
}

CallLine& CallLine::Number(const char* name, DWORD value) {
    Add(name, std::to_string(value));
    return *this;
}

CallLine& CallLine::HexNumber(const char* name, DWORD value) {
    Add(name, text::HexNumber(value));
    return *this;
}

CallLine& CallLine::Text(const char* name, const wchar_t* value) {
    Add(name, value == nullptr ? "NULL" : text::QuoteWide(value));
    return *this;
}

CallLine& CallLine::Ansi(const char* name, const char* value) {
    Add(name, value == nullptr ? "NULL" : text::QuoteAnsi(value));
    return *this;
}

CallLine& CallLine::Password(const char* name, const char* value) {
    if (value == nullptr) {
        Add(name, "NULL");
    } else {
        const size_t length = std::strlen(value);
        Add(name, text::QuoteAnsi(std::string_view(value, length)) + " {" +
                      text::Hex(value, length, 4) + "}");
    }
    return *this;
}

CallLine& CallLine::Bytes(const char* name, const void* data, size_t size) {
    Add(name, data == nullptr ? "NULL" : "{" + text::Hex(data, size, 4) + "}");
    return *this;
}

CallLine& CallLine::Remark(const char* name, const char* remark) {
    Add(name, std::string("(") + remark + ")");
    return *this;
}

CallLine& CallLine::Null(const char* name) {
    Add(name, "NULL");
    return *this;
}

std::string CallLine::Finish(DWORD result) const {
    return Timestamp() + " [" + std::to_string(GetCurrentProcessId()) + ":" +
           std::to_string(GetCurrentThreadId()) + "] " + m_operation + "(" + m_arguments +
           ") = " + std::to_string(result) + "\r\n";
}

std::optional<std::string> JournalEntry::Argument(std::string_view name) const {
    for (std::string_view part : SplitArguments(arguments)) {
        const size_t equals = part.find('=');
        if (equals != std::string_view::npos && text::Trim(part.substr(0, equals)) == name) {
            return std::string(text::Trim(part.substr(equals + 1)));
        }
    }
    return std::nullopt;
}

std::optional<DWORD> JournalEntry::Number(std::string_view name) const {
    const auto value = Argument(name);
    return value ? text::ParseNumber(*value) : std::nullopt;
}

std::optional<std::string> JournalEntry::Ansi(std::string_view name) const {
    const auto value = Argument(name);
    return value ? text::Unquote(*value) : std::nullopt;
}

std::optional<std::wstring> JournalEntry::Text(std::string_view name) const {
    const auto utf8 = Ansi(name);
    return utf8 ? std::optional<std::wstring>(text::FromUtf8(*utf8)) : std::nullopt;
}

std::optional<std::vector<BYTE>> JournalEntry::Bytes(std::string_view name) const {
    const auto value = Argument(name);
    return value ? BracedBytes(*value) : std::nullopt;
}

JournalEntry ParseJournalLine(std::string_view line) {
    JournalEntry entry;
    entry.line = std::string(line);
    const size_t open = line.find(" [");
    const size_t colon = line.find(':', open);
    const size_t close = line.find("] ", open);
    const size_t paren = line.find('(', close);
    const size_t tail = line.rfind(") = ");
    if (open == std::string_view::npos || colon > close || close == std::string_view::npos ||
        paren == std::string_view::npos || tail == std::string_view::npos || tail < paren) {
        Malformed(line);
    }
    entry.time = std::string(line.substr(0, open));
    const auto pid = text::ParseNumber(line.substr(open + 2, colon - open - 2));
    const auto tid = text::ParseNumber(line.substr(colon + 1, close - colon - 1));
    const auto result = text::ParseNumber(line.substr(tail + 4));
    if (!pid || !tid || !result) {
        Malformed(line);
    }
    entry.processId = *pid;
    entry.threadId = *tid;
    entry.result = *result;
    entry.operation = std::string(line.substr(close + 2, paren - close - 2));
    entry.arguments = std::string(line.substr(paren + 1, tail - paren - 1));
    for (std::string_view part : SplitArguments(entry.arguments)) {
        if (auto bytes = BracedBytes(part.substr(part.find('=') + 1))) {
            entry.hasBytes = true;
            entry.bytes = std::move(*bytes);
            break;
        }
    }
    return entry;
}

std::vector<JournalEntry> ReadJournal(const std::wstring& folder) {
    std::string content;
    {
        const FolderLock lock(folder);
        if (!ReadWholeFile(JoinPath(folder, kJournalFileName), content)) {
            return {};
        }
    }
    std::vector<JournalEntry> entries;
    std::string_view rest = content;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        const std::string_view line =
            text::Trim(rest.substr(0, end == std::string_view::npos ? rest.size() : end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty()) {
            entries.push_back(ParseJournalLine(line));
        }
    }
    return entries;
}

std::vector<JournalEntry> ReadJournal(const std::wstring& folder, std::string_view operation) {
    std::vector<JournalEntry> entries;
    for (JournalEntry& entry : ReadJournal(folder)) {
        if (entry.operation == operation) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

void ClearJournal(const std::wstring& folder) {
    const FolderLock lock(folder);
    TruncateFile(JoinPath(folder, kJournalFileName));
}

void AppendJournal(const std::wstring& folder, const std::string& line) {
    const FolderLock lock(folder);
    AppendToFile(JoinPath(folder, kJournalFileName), line);
}

}  // namespace sim
