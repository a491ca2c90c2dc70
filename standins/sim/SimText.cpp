#include "SimText.h"

#include <cstdint>
#include <cstdio>

namespace sim::text {

#ifdef _WIN32
std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

std::wstring FromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}
#else
// Natively (the settings model's tests) wide texts are UTF-32: each character one code point.
std::string ToUtf8(std::wstring_view text) {
    std::string utf8;
    for (const wchar_t c : text) {
        const auto point = static_cast<uint32_t>(c);
        if (point < 0x80) {
            utf8 += static_cast<char>(point);
        } else if (point < 0x800) {
            utf8 += static_cast<char>(0xC0 | (point >> 6));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (point >> 12));
            utf8 += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (point >> 18));
            utf8 += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return utf8;
}

std::wstring FromUtf8(std::string_view text) {
    std::wstring wide;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t point = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (int k = 1; k < length && i + k < text.size(); ++k)
            point = (point << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        wide += static_cast<wchar_t>(point);
        i += static_cast<size_t>(length);
    }
    return wide;
}
#endif

namespace {

std::string Quote(std::string_view bytes, bool escapeHighBytes) {
    std::string quoted = "\"";
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7F || (escapeHighBytes && byte >= 0x80)) {
            char escape[5];
            snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + '"';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::string QuoteWide(std::wstring_view text) {
    return Quote(ToUtf8(text), false);
}

std::string QuoteAnsi(std::string_view bytes) {
    return Quote(bytes, true);
}

std::optional<std::string> Unquote(std::string_view text, size_t* end) {
    if (text.empty() || text[0] != '"') {
        return std::nullopt;
    }
    std::string bytes;
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            if (end != nullptr) {
                *end = i + 1;
            }
            return bytes;
        }
        if (c != '\\') {
            bytes += c;
            continue;
        }
        if (i + 1 >= text.size()) {
            return std::nullopt;
        }
        const char kind = text[++i];
        if (kind == '\\' || kind == '"') {
            bytes += kind;
        } else if (kind == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
                   HexDigit(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;  // no closing quote
}

std::string Hex(const void* data, size_t size, size_t group) {
    static const char digits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const BYTE*>(data);
    std::string hex;
    hex.reserve(size * 3);
    for (size_t i = 0; i < size; ++i) {
        if (i > 0 && i % group == 0) {
            hex += ' ';
        }
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return hex;
}

std::optional<std::vector<BYTE>> ParseHex(std::string_view text) {
    std::vector<BYTE> bytes;
    int high = -1;
    for (char c : text) {
        if (IsBlank(c)) {
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<BYTE>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) {
        return std::nullopt;  // odd number of digits
    }
    return bytes;
}

std::optional<DWORD> ParseNumber(std::string_view text) {
    text = Trim(text);
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    unsigned long long value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) {
            return std::nullopt;
        }
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull) {
            return std::nullopt;
        }
    }
    return static_cast<DWORD>(value);
}

std::string HexNumber(DWORD value) {
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace sim::text
