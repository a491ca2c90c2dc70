// Positions and list-entry numbers read from INI values.
#include "FuzzInput.h"
#include "Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring value = fuzz::WideText(data, size);
    const text::Position position = text::ParsePosition(value);
    // The first piece alone decides x, whatever follows it.
    const size_t comma = value.find(L',');
    if (comma != 0) FUZZ_CHECK(position.x == text::LeadingInt(value.substr(0, comma)));
    // A value without commas has only x.
    if (comma == std::wstring::npos) {
        FUZZ_CHECK(position.y == 0 && position.width == 0 && position.height == 0);
        FUZZ_CHECK(!position.hide);
    }
    text::LeadingInt(value);
    return 0;
}
