#include "Text.h"

#include <climits>
#include <cstdio>

namespace text {

std::wstring ReplaceAll(std::wstring text, const std::wstring& placeholder,
                        const std::wstring& value) {
    if (placeholder.empty()) return text;
    std::wstring result;
    size_t from = 0;
    for (size_t at = text.find(placeholder); at != std::wstring::npos;
         at = text.find(placeholder, from)) {
        result.append(text, from, at - from);
        result.append(value);
        from = at + placeholder.size();
    }
    if (from == 0) return text;
    result.append(text, from, std::wstring::npos);
    return result;
}

namespace {
bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}
}  // namespace

int32_t LeadingInt(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (value <= int64_t{INT32_MAX} + 1) value = value * 10 + (text[i] - L'0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

std::vector<std::wstring> PositionPieces(const std::wstring& value) {
    std::vector<std::wstring> pieces;
    for (size_t start = 0; start <= value.size();) {
        size_t end = value.find(L',', start);
        if (end == std::wstring::npos) end = value.size();
        if (end > start) pieces.push_back(value.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

Position ParsePosition(const std::wstring& value) {
    const std::vector<std::wstring> pieces = PositionPieces(value);
    std::array<int32_t, 5> numbers{};
    for (size_t i = 0; i < numbers.size() && i < pieces.size(); ++i)
        numbers[i] = LeadingInt(pieces[i]);
    Position position;
    position.x = numbers[0];
    position.y = numbers[1];
    position.width = numbers[2];
    position.height = numbers[3];
    position.hide = numbers[4] != 0;
    return position;
}

std::wstring FormatMegaUnits(uint32_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0.3f", static_cast<double>(value) / 1048576.0);
    return std::wstring(buffer, buffer + std::char_traits<char>::length(buffer));
}

namespace {
std::wstring TwoDigits(int value) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%02d", value);
    return buffer;
}
std::wstring FourDigits(int value) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%04d", value);
    return buffer;
}
std::wstring Decimal(int32_t value) {
    return std::to_wstring(value);
}
}  // namespace

std::wstring LogTimestamp(const Timestamp& t) {
    return L"[" + TwoDigits(t.month) + L"-" + TwoDigits(t.day) + L"-" + FourDigits(t.year) + L"," +
           TwoDigits(t.hour) + L":" + TwoDigits(t.minute) + L":" + TwoDigits(t.second) + L"] ";
}

std::wstring ErrorLogLine(const Timestamp& time, int32_t code, const std::wstring& file,
                          int32_t line) {
    std::wstring result = LogTimestamp(time) + L"Error = " + Decimal(code) + L" (File=" + file +
                          L",Line=" + Decimal(line) + L")\r\n";
    if (result.size() > kLogLineCapacity - 1) {
        result.resize(kLogLineCapacity - 3);
        result += L"\r\n";
    }
    return result;
}

std::wstring TraceLogLine(const Timestamp& time, const std::wstring& formatted) {
    std::wstring result = LogTimestamp(time);
    const size_t room = kLogLineCapacity - 1 - 2 - result.size();  // terminator, "\r\n"
    result.append(formatted, 0, room);
    result += L"\r\n";
    return result;
}

std::wstring FileNamePart(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

namespace {
constexpr size_t kMaxFieldWidth = 32;
constexpr wchar_t kFlags[] = L"-+ #0";

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}
bool IsLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
bool IsFlag(wchar_t c) {
    return c != L'\0' && std::char_traits<wchar_t>::find(kFlags, 5, c) != nullptr;
}

// Reads a run of digits; false when it is longer than a small field width allows.
bool ReadSmallNumber(const std::wstring& pattern, size_t& i) {
    size_t value = 0;
    for (; i < pattern.size() && IsDigit(pattern[i]); ++i) {
        value = value * 10 + static_cast<size_t>(pattern[i] - L'0');
        if (value > kMaxFieldWidth) return false;
    }
    return true;
}

// Length of an integer conversion starting at pattern[at] == '%', or 0 when it is not one
// (or asks for a field wider than kMaxFieldWidth).
size_t IntegerConversionLength(const std::wstring& pattern, size_t at) {
    size_t i = at + 1;
    while (i < pattern.size() && IsFlag(pattern[i]))
        ++i;
    if (!ReadSmallNumber(pattern, i)) return 0;
    if (i < pattern.size() && pattern[i] == L'.') {
        ++i;
        if (!ReadSmallNumber(pattern, i)) return 0;
    }
    if (i < pattern.size() && std::wstring(L"diuxX").find(pattern[i]) != std::wstring::npos) {
        return i - at + 1;
    }
    return 0;
}

// Length of what looks like a conversion at pattern[at] == '%' without being one that is
// filled: flags, a width and a precision (digits or '*'), up to two length letters and a type
// letter, in printf's order; never a '%'.
size_t ShownSequenceLength(const std::wstring& pattern, size_t at) {
    size_t i = at + 1;
    const auto skip = [&](auto belongs) {
        while (i < pattern.size() && belongs(pattern[i]))
            ++i;
    };
    const auto isWidth = [](wchar_t c) { return IsDigit(c) || c == L'*'; };
    skip(IsFlag);
    skip(isWidth);
    if (i < pattern.size() && pattern[i] == L'.') {
        ++i;
        skip(isWidth);
    }
    for (size_t letters = 0; letters < 2 && i + 1 < pattern.size() && IsLetter(pattern[i + 1]) &&
                             std::wstring(L"hlLqjzt").find(pattern[i]) != std::wstring::npos;
         ++letters)
        ++i;
    if (i < pattern.size() && IsLetter(pattern[i])) ++i;
    return i - at;
}

// Formats `value` as the printf `conversion` (from its "%" to its type) would: flags "-+ #0",
// width, precision, types d i u x X; without handing translator text to a printf function.
std::wstring FormatInteger(const std::wstring& conversion, int32_t value) {
    size_t i = 1;
    bool left = false, plus = false, space = false, alternate = false, zero = false;
    for (; IsFlag(conversion[i]); ++i) {
        left |= conversion[i] == L'-';
        plus |= conversion[i] == L'+';
        space |= conversion[i] == L' ';
        alternate |= conversion[i] == L'#';
        zero |= conversion[i] == L'0';
    }
    size_t width = 0;
    for (; conversion[i] >= L'0' && conversion[i] <= L'9'; ++i)
        width = width * 10 + (conversion[i] - L'0');
    bool hasPrecision = false;
    size_t precision = 0;
    if (conversion[i] == L'.') {
        hasPrecision = true;
        for (++i; conversion[i] >= L'0' && conversion[i] <= L'9'; ++i)
            precision = precision * 10 + (conversion[i] - L'0');
    }
    const wchar_t type = conversion[i];
    const bool isSigned = type == L'd' || type == L'i';
    const bool hex = type == L'x' || type == L'X';

    uint64_t magnitude = isSigned && value < 0 ? uint64_t(-int64_t(value)) : uint32_t(value);
    std::wstring digits;
    const wchar_t* alphabet = type == L'X' ? L"0123456789ABCDEF" : L"0123456789abcdef";
    for (uint64_t v = magnitude; v != 0; v /= hex ? 16 : 10)
        digits.insert(digits.begin(), alphabet[v % (hex ? 16 : 10)]);
    if (digits.empty() && !(hasPrecision && precision == 0)) digits = L"0";
    if (digits.size() < precision) digits.insert(0, precision - digits.size(), L'0');

    std::wstring prefix;
    if (isSigned && value < 0)
        prefix = L"-";
    else if (isSigned && plus)
        prefix = L"+";
    else if (isSigned && space)
        prefix = L" ";
    if (hex && alternate && magnitude != 0) prefix += type == L'X' ? L"0X" : L"0x";

    const size_t length = prefix.size() + digits.size();
    if (length >= width) return prefix + digits;
    const size_t pad = width - length;
    if (left) return prefix + digits + std::wstring(pad, L' ');
    if (zero && !hasPrecision) return prefix + std::wstring(pad, L'0') + digits;
    return std::wstring(pad, L' ') + prefix + digits;
}
}  // namespace

std::vector<FormatSequence> FormatSequences(const std::wstring& pattern) {
    std::vector<FormatSequence> sequences;
    bool filled = false;
    for (size_t at = pattern.find(L'%'); at != std::wstring::npos;) {
        FormatSequence sequence{FormatPart::Percent, at, 2};
        if (at + 1 >= pattern.size() || pattern[at + 1] != L'%') {
            const size_t conversion = filled ? 0 : IntegerConversionLength(pattern, at);
            filled = filled || conversion > 0;
            sequence = conversion > 0 ? FormatSequence{FormatPart::Value, at, conversion}
                                      : FormatSequence{FormatPart::Shown, at,
                                                       ShownSequenceLength(pattern, at)};
        }
        sequences.push_back(sequence);
        at = pattern.find(L'%', at + sequence.length);
    }
    return sequences;
}

std::wstring FormatWithOneInteger(const std::wstring& pattern, int32_t value, size_t maxLength) {
    std::wstring result;
    size_t from = 0;
    for (const FormatSequence& sequence : FormatSequences(pattern)) {
        if (result.size() >= maxLength) break;
        result.append(pattern, from, sequence.at - from);
        const std::wstring written = pattern.substr(sequence.at, sequence.length);
        switch (sequence.part) {
            case FormatPart::Percent:
                result += L'%';
                break;
            case FormatPart::Value:
                result += FormatInteger(written, value);
                break;
            case FormatPart::Shown:
                result += written;
                break;
        }
        from = sequence.at + sequence.length;
    }
    if (from < pattern.size() && result.size() < maxLength) result.append(pattern, from);
    if (result.size() > maxLength) result.resize(maxLength);
    return result;
}

bool SaysTrue(const wchar_t* buffer, size_t capacity) {
    if (!buffer) return false;
    static const wchar_t kTrue[] = L"TRUE";
    size_t i = 0;
    for (; i < capacity && buffer[i] != L'\0'; ++i) {
        if (i >= 4) return false;
        // Only ASCII letters upper-case to the letters of "TRUE".
        const wchar_t c =
            buffer[i] >= L'a' && buffer[i] <= L'z' ? buffer[i] - (L'a' - L'A') : buffer[i];
        if (c != kTrue[i]) return false;
    }
    return i == 4;
}

}  // namespace text
