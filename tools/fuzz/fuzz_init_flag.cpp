// The re-initialisation flag: only "TRUE" in any letter case, nothing else.
#include <cwctype>

#include "FuzzInput.h"
#include "Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring buffer = fuzz::WideText(data, size);
    const bool verdict = text::SaysTrue(buffer.c_str(), buffer.size() + 1);
    const std::wstring upTo = buffer.substr(0, buffer.find(L'\0'));
    bool expected = upTo.size() == 4;
    for (size_t i = 0; expected && i < 4; ++i) {
        const wchar_t c = upTo[i];
        expected = c < 0x80 && std::towupper(c) == L"TRUE"[i];
    }
    FUZZ_CHECK(verdict == expected);
    // The capacity bounds the read: a buffer cut before its NUL is never read past.
    text::SaysTrue(buffer.data(), buffer.size());
    return 0;
}
