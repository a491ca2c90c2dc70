#include "Ini.h"

#include "Strings.h"

namespace settingcheck {

namespace {

// Windows-1252 for 0x80..0x9F; the rest of the upper half is Latin-1.
const char16_t kCp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                  0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

bool IsUtf8(const std::string& bytes) {
    return ToUtf8(FromUtf8(bytes)) == bytes &&
           FromUtf8(bytes).find(L'\xFFFD') == std::wstring::npos;
}

std::wstring DecodeUtf16(const std::string& bytes, size_t from, bool littleEndian) {
    std::wstring text;
    for (size_t i = from; i + 1 < bytes.size(); i += 2) {
        const unsigned lo = static_cast<unsigned char>(bytes[i + (littleEndian ? 0 : 1)]);
        const unsigned hi = static_cast<unsigned char>(bytes[i + (littleEndian ? 1 : 0)]);
        text += static_cast<wchar_t>(lo | (hi << 8));
    }
    if (sizeof(wchar_t) == 4) {
        // Join surrogate pairs into one character, as the rest of the checker expects.
        std::string utf8 = ToUtf8(text);
        text = FromUtf8(utf8);
    }
    return text;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\v' || c == L'\f';
}

}  // namespace

std::wstring Unquote(const std::wstring& value) {
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

IniDocument IniDocument::Parse(const std::string& bytes) {
    IniDocument doc;
    std::wstring text;
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        doc.m_encoding = Encoding::Utf16Le;
        text = DecodeUtf16(bytes, 2, true);
    } else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
        doc.m_encoding = Encoding::Utf16Be;
        text = DecodeUtf16(bytes, 2, false);
    } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        doc.m_encoding = Encoding::Utf8Bom;
        text = FromUtf8(bytes.substr(3));
        doc.m_nonAsciiOutsideUtf16 = true;  // the mark itself is outside ASCII
    } else {
        for (unsigned char b : bytes) {
            if (b >= 0x80) doc.m_nonAsciiOutsideUtf16 = true;
            text += b >= 0x80 && b < 0xA0 ? static_cast<wchar_t>(kCp1252High[b - 0x80])
                                          : static_cast<wchar_t>(b);
        }
    }
    if (doc.m_encoding == Encoding::Ansi || doc.m_encoding == Encoding::Utf8Bom)
        doc.m_validUtf8 = IsUtf8(doc.m_encoding == Encoding::Utf8Bom ? bytes.substr(3) : bytes);

    Section* current = nullptr;
    int lineNumber = 0;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;

        size_t first = 0;
        while (first < line.size() && IsBlank(line[first]))
            ++first;
        size_t last = line.size();
        while (last > first && IsBlank(line[last - 1]))
            --last;
        line = line.substr(first, last - first);
        if (line.empty() || line[0] == L';') {
            if (end == text.size()) break;
            continue;
        }

        if (line[0] == L'[') {
            const size_t close = line.rfind(L']');
            if (close != std::wstring::npos) {
                const std::wstring name = line.substr(1, close - 1);
                const Section* earlier = doc.Find(name);
                if (earlier) {
                    doc.m_issues.push_back(
                        {lineNumber, name, L"",
                         "section [" + ToUtf8(name) + "] appears again (first at line " +
                             std::to_string(earlier->line) +
                             "): only the first is read, the keys of this one are ignored"});
                }
                doc.m_sections.push_back({name, {}, lineNumber});
                current = &doc.m_sections.back();
                if (end == text.size()) break;
                continue;
            }
        }

        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos) {
            doc.m_issues.push_back(
                {lineNumber, current ? current->name : L"", line,
                 "line " + std::to_string(lineNumber) +
                     " has no '=' and is not a comment: it is not read (comments start with ';')"});
        } else if (!current) {
            doc.m_issues.push_back({lineNumber, L"", Trim(line.substr(0, equals)),
                                    "line " + std::to_string(lineNumber) +
                                        " comes before the first section: it is not read"});
        } else {
            std::wstring name = line.substr(0, equals);
            while (!name.empty() && IsBlank(name.back()))
                name.pop_back();
            size_t valueStart = equals + 1;
            while (valueStart < line.size() && IsBlank(line[valueStart]))
                ++valueStart;
            for (const Entry& entry : current->entries) {
                if (EqualNoCase(entry.name, name)) {
                    doc.m_issues.push_back({lineNumber, current->name, name,
                                            "key appears again in the section (first at line " +
                                                std::to_string(entry.line) +
                                                "): only the first value is read"});
                    break;
                }
            }
            current->entries.push_back({name, line.substr(valueStart), lineNumber});
        }
        if (end == text.size()) break;
    }
    return doc;
}

const IniDocument::Section* IniDocument::Find(const std::wstring& section) const {
    for (const Section& s : m_sections) {
        if (EqualNoCase(s.name, section)) return &s;
    }
    return nullptr;
}

bool IniDocument::HasSection(const std::wstring& section) const {
    return Find(section) != nullptr;
}

std::vector<IniDocument::Outline> IniDocument::Sections() const {
    std::vector<Outline> outline;
    for (const Section& s : m_sections) {
        outline.push_back({s.name, {}});
        for (const Entry& entry : s.entries)
            outline.back().keys.push_back(entry.name);
    }
    return outline;
}

bool IniDocument::Get(const std::wstring& section, const std::wstring& key,
                      std::wstring& value) const {
    const Section* s = Find(section);
    if (!s) return false;
    for (const Entry& entry : s->entries) {
        if (EqualNoCase(entry.name, key)) {
            value = Unquote(entry.value);
            return true;
        }
    }
    return false;
}

}  // namespace settingcheck
