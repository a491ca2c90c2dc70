// Placeholder replacement: "[PRODUCTNAME]", "[USED]", "[TOTAL]" in translator texts.
#include "FuzzInput.h"
#include "Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring parts[3];
    fuzz::Split(data, size, parts);
    const std::wstring& text = parts[0];
    const std::wstring& placeholder = parts[1];
    const std::wstring& value = parts[2];
    const std::wstring result = text::ReplaceAll(text, placeholder, value);
    if (placeholder.empty()) {
        FUZZ_CHECK(result == text);
        return 0;
    }
    // Count the occurrences the replacement must have taken, left to right.
    size_t occurrences = 0;
    for (size_t at = text.find(placeholder); at != std::wstring::npos;
         at = text.find(placeholder, at + placeholder.size())) {
        ++occurrences;
    }
    FUZZ_CHECK(result.size() + occurrences * placeholder.size() ==
               text.size() + occurrences * value.size());
    // A value that cannot form the placeholder leaves none behind.
    if (value.find(placeholder[0]) == std::wstring::npos &&
        text.find(placeholder) != std::wstring::npos && placeholder.size() == 1) {
        FUZZ_CHECK(result.find(placeholder) == std::wstring::npos);
    }
    return 0;
}
