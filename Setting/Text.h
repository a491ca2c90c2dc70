// Text rules of the module that need no window: placeholders, positions, list entries,
// log lines and the password-failure message's format sequences. Free of platform calls, so they
// also build natively for fuzzing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace text {

// Replaces every occurrence of `placeholder` in `text` (plain substring replacement, left to
// right; replaced text is not searched again).
std::wstring ReplaceAll(std::wstring text, const std::wstring& placeholder,
                        const std::wstring& value);

// The number at the start of a text, as the platform's leading-number conversion reads it:
// leading blanks, an optional sign, then decimal digits; anything else ends the number.
// No digits give 0; values beyond the 32-bit range are clamped.
int32_t LeadingInt(const std::wstring& text);

// The pieces of a position value: split at commas, empty pieces skipped (blanks are no
// empty piece).
std::vector<std::wstring> PositionPieces(const std::wstring& value);

// A control rectangle from "x,y,width,height[,hide]": the first five PositionPieces, each
// read with LeadingInt; missing ones are 0.
struct Position {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool hide = false;
};
Position ParsePosition(const std::wstring& value);

// "%0.3f" of value / 2^20, as the usage line shows the engine's figures.
std::wstring FormatMegaUnits(uint32_t value);

// Local time of a log record.
struct Timestamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

constexpr size_t kLogLineCapacity = 1024;  // characters, line end and terminator included

// "[MM-DD-YYYY,hh:mm:ss] " (with the trailing blank).
std::wstring LogTimestamp(const Timestamp& time);
// "[MM-DD-YYYY,hh:mm:ss] Error = <code> (File=<file>,Line=<line>)\r\n"
std::wstring ErrorLogLine(const Timestamp& time, int32_t code, const std::wstring& file,
                          int32_t line);
// Time stamp, the already formatted text (cut so that the line, its "\r\n" and a terminator
// fit kLogLineCapacity), then "\r\n".
std::wstring TraceLogLine(const Timestamp& time, const std::wstring& formatted);
// The part of a source path after its last backslash or slash.
std::wstring FileNamePart(const std::wstring& path);

// How a translator's message with one integer reads its "%" sequences: the first integer
// conversion (%d, %i, %u, %x, %X with optional flags "-+ #0", a width and a precision of at
// most 32) receives the value; "%%" gives "%"; every other "%" sequence, and any integer
// conversion after the first, is shown as written.
enum class FormatPart {
    Percent,  // "%%"
    Value,    // the conversion that receives the value
    Shown,    // shown as written: its "%", then what looks like a conversion's flags, width,
              // precision, length letters and type, none of them a "%"
};
struct FormatSequence {
    FormatPart part;
    size_t at, length;
};
// Every "%" sequence of `pattern`, in order; what lies between them is shown as written.
std::vector<FormatSequence> FormatSequences(const std::wstring& pattern);

// The message with `value` in it, read as FormatSequences tells, cut to `maxLength`
// characters. Translator text is never handed to a printf function.
std::wstring FormatWithOneInteger(const std::wstring& pattern, int32_t value,
                                  size_t maxLength = 259);

// The re-initialisation flag as the resize tool leaves it: the text up to the first NUL of
// `buffer` (at most `capacity` characters), compared with "TRUE" after upper-casing. A
// trailing blank or any other character makes it false.
bool SaysTrue(const wchar_t* buffer, size_t capacity);

}  // namespace text
