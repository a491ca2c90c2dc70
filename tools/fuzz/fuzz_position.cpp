// Positions and list-entry numbers read from INI values, and the rectangles they give at a dpi.
#include <cstring>

#include "DpiScaling.h"
#include "FuzzInput.h"
#include "Text.h"

namespace {
// The far edges are held to the 32-bit range (an overflow here is undefined behaviour, which
// the sanitizer reports): a size of 0 or more never puts them before the corner.
void CheckRect(const text::Position& position, unsigned atDpi) {
    const dpi::Rect rect = dpi::ScaledRect(position, atDpi);
    if (position.width >= 0) FUZZ_CHECK(rect.right >= rect.left);
    if (position.height >= 0) FUZZ_CHECK(rect.bottom >= rect.top);
}
}  // namespace

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
    CheckRect(position, 96 + static_cast<unsigned>(size % 5) * 24);
    // The first 16 bytes as four numbers, to reach the ends of their range at once.
    if (size >= 16) {
        int32_t numbers[4];
        std::memcpy(numbers, data, sizeof numbers);
        CheckRect({numbers[0], numbers[1], numbers[2], numbers[3], false}, 96 + data[0] % 97 * 4);
    }
    return 0;
}
