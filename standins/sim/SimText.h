// Text encodings shared by the state file and the journal. Internal to the stand-ins.
//
// Quoted text: "..." where \\ is a backslash, \" a quote and \xNN one byte; the bytes are
// UTF-8 for wide texts and the raw bytes for ANSI texts. Hex: pairs of hex digits, any
// whitespace between them ignored on reading.
#pragma once

#include "EngineTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim::text {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// Wide text as UTF-8; only control characters, backslash and quote are escaped.
std::string QuoteWide(std::wstring_view text);
// ANSI bytes; everything outside printable ASCII is escaped, so the file stays UTF-8.
std::string QuoteAnsi(std::string_view bytes);
// Decodes a quoted text at the start of `text`; `end` receives the position after it.
std::optional<std::string> Unquote(std::string_view text, size_t* end = nullptr);

// `group` bytes without separator, groups separated by one space.
std::string Hex(const void* data, size_t size, size_t group);
std::optional<std::vector<BYTE>> ParseHex(std::string_view text);

// Decimal, or hexadecimal with a 0x prefix; the whole text must be the number.
std::optional<DWORD> ParseNumber(std::string_view text);
std::string HexNumber(DWORD value);  // 0x%08X

std::string_view Trim(std::string_view text);
bool EqualNoCase(std::string_view a, std::string_view b);

}  // namespace sim::text
