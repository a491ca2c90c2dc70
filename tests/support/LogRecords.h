// The module's log as records: each ends with its "\r\n" (a last one without is kept too).
#pragma once

#include <string>
#include <vector>

namespace testsupport {

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
