// Reading Setting.ini and CreateDisk.ini by the rules of the platform's private-profile
// functions, as far as the module's files need them: section and key names compared without
// regard to case, blanks around names and values trimmed, one pair of matching quotes around
// a value removed, ';' comment lines, CRLF or LF line ends, a UTF-16 LE (or BE) file with its
// byte-order mark, a UTF-8 file with its mark; anything else in the system's ANSI code page
// (Windows-1252 here). The first section of a name counts, and in it the first key of a name.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace settingcheck {

// Values of one INI file. A missing file reads like an empty one.
class ValueSource {
public:
    virtual ~ValueSource() = default;
    // False when the key is missing (an empty value is found and empty).
    virtual bool Get(const std::wstring& section, const std::wstring& key,
                     std::wstring& value) const = 0;
};

enum class Encoding { Ansi, Utf8Bom, Utf16Le, Utf16Be };

class IniDocument : public ValueSource {
public:
    // Something in the file that the platform reads differently from how it looks.
    struct Issue {
        int line;  // 1-based
        std::wstring section;
        std::wstring key;
        std::string message;
    };

    static IniDocument Parse(const std::string& bytes);

    bool Get(const std::wstring& section, const std::wstring& key,
             std::wstring& value) const override;
    bool HasSection(const std::wstring& section) const;

    // Sections in file order, each with its key names (duplicates included).
    struct Outline {
        std::wstring section;
        std::vector<std::wstring> keys;
    };
    std::vector<Outline> Sections() const;

    Encoding encoding() const { return m_encoding; }
    // Characters outside ASCII in a file without a UTF-16 byte-order mark.
    bool NonAsciiOutsideUtf16() const { return m_nonAsciiOutsideUtf16; }
    bool ValidUtf8() const { return m_validUtf8; }
    const std::vector<Issue>& Issues() const { return m_issues; }

private:
    struct Entry {
        std::wstring name;
        std::wstring value;  // as written, quotes kept
        int line;
    };
    struct Section {
        std::wstring name;
        std::vector<Entry> entries;
        int line;
    };
    const Section* Find(const std::wstring& section) const;

    std::vector<Section> m_sections;
    std::vector<Issue> m_issues;
    Encoding m_encoding = Encoding::Ansi;
    bool m_nonAsciiOutsideUtf16 = false;
    bool m_validUtf8 = true;
};

// The value as the platform returns it: one pair of matching single or double quotes around
// it removed.
std::wstring Unquote(const std::wstring& value);

}  // namespace settingcheck
