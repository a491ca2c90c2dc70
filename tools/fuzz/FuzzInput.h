// Turning libFuzzer's bytes into the module's wide texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Two bytes per character (UTF-16 code units, as the module's texts are).
inline std::wstring WideText(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    return text;
}

// Splits the input at the first occurrences of a 0xFF 0xFF marker into up to `count` parts.
template <size_t count>
void Split(const uint8_t* data, size_t size, std::wstring (&parts)[count]) {
    size_t start = 0, part = 0;
    for (size_t i = 0; i + 1 < size && part + 1 < count; ++i) {
        if (data[i] == 0xFF && data[i + 1] == 0xFF) {
            parts[part++] = WideText(data + start, i - start);
            start = i + 2;
            ++i;
        }
    }
    parts[part] = WideText(data + start, size - start);
}

}  // namespace fuzz

#define FUZZ_CHECK(condition)               \
    do {                                    \
        if (!(condition)) __builtin_trap(); \
    } while (0)
