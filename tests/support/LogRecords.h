// The module's log as records: each ends with its "\r\n" (a last one without is kept too).
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// The log file's bytes (UTF-16LE) as text.
inline std::wstring FromUtf16Le(const std::string& bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return text;
}

inline std::vector<std::wstring> SplitRecords(const std::wstring& text) {
    std::vector<std::wstring> records;
    size_t start = 0;
    for (size_t end = text.find(L"\r\n"); end != std::wstring::npos;
         end = text.find(L"\r\n", start)) {
        records.push_back(text.substr(start, end + 2 - start));
        start = end + 2;
    }
    if (start < text.size()) records.push_back(text.substr(start));
    return records;
}

}  // namespace testsupport
