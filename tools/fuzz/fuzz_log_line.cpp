// Log records: a trace line never exceeds its 1024-character buffer and always ends a line.
#include "FuzzInput.h"
#include "Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    text::Timestamp time;
    time.year = 1900 + data[0] * 2;
    time.month = data[1] % 13;
    time.day = data[2] % 32;
    time.hour = data[3] % 24;
    time.minute = data[4] % 60;
    time.second = data[5] % 60;
    const int32_t code = static_cast<int32_t>(data[6] << 24 | data[7] << 8 | data[6]);
    const std::wstring body = fuzz::WideText(data + 8, size - 8);

    const std::wstring trace = text::TraceLogLine(time, body);
    FUZZ_CHECK(trace.size() <= text::kLogLineCapacity - 1);
    FUZZ_CHECK(trace.size() >= 24 && trace.compare(trace.size() - 2, 2, L"\r\n") == 0);
    FUZZ_CHECK(trace[0] == L'[' && trace[21] == L' ');

    const std::wstring error = text::ErrorLogLine(time, code, text::FileNamePart(body), 512);
    FUZZ_CHECK(error.size() <= text::kLogLineCapacity - 1);
    FUZZ_CHECK(error.compare(error.size() - 2, 2, L"\r\n") == 0);
    const std::wstring name = text::FileNamePart(body);
    FUZZ_CHECK(name.find_first_of(L"\\/") == std::wstring::npos);
    return 0;
}
