// The password-failure message: translator text filled with one integer, never used as a
// printf format. Checked against snprintf where the pattern is a safe format by construction.
#include <cstdio>

#include "FuzzInput.h"
#include "Text.h"

namespace {
bool IsPlainText(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c == L'%' || c < 0x20 || c > 0x7E) return false;
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const int32_t value =
        static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24);
    const std::wstring pattern = fuzz::WideText(data + 4, size - 4);
    const std::wstring result = text::FormatWithOneInteger(pattern, value);
    FUZZ_CHECK(result.size() <= 259);

    // "<plain>%d<plain>" must read exactly as printf would write it.
    const size_t at = pattern.find(L"%d");
    if (at != std::wstring::npos && IsPlainText(pattern.substr(0, at)) &&
        IsPlainText(pattern.substr(at + 2))) {
        const std::string narrow(pattern.begin(), pattern.end());
        char expected[1024];
        std::snprintf(expected, sizeof expected, narrow.c_str(), value);
        std::wstring wide(expected, expected + std::char_traits<char>::length(expected));
        if (wide.size() > 259) wide.resize(259);
        FUZZ_CHECK(result == wide);
    }
    return 0;
}
