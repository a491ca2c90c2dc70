#include "DialogTemplate.h"

#include <cstring>

namespace ui {
namespace {

// Reads the template's fields in order; every read checks the resource's end, so that a
// damaged template is refused instead of read beyond.
class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }
    size_t Offset() const { return m_offset; }

    template <typename T>
    T Read() {
        T value{};
        if (!Take(sizeof value)) return value;
        std::memcpy(&value, m_data + m_offset - sizeof value, sizeof value);
        return value;
    }
    void Skip(size_t bytes) { Take(bytes); }
    void AlignToDword() { Take((4 - m_offset % 4) % 4); }

    // A zero-terminated text.
    std::wstring String() {
        std::wstring text;
        for (wchar_t c = Read<wchar_t>(); m_ok && c != L'\0'; c = Read<wchar_t>())
            text.push_back(c);
        return text;
    }
    // A text or, after 0xFFFF, a number: the number is kept after a 0xFFFF character.
    std::wstring StringOrOrdinal() {
        const wchar_t first = Read<wchar_t>();
        if (first == L'\0') return {};
        if (first == 0xFFFF) return std::wstring{first, Read<wchar_t>()};
        std::wstring rest = String();
        return first + rest;
    }

private:
    bool Take(size_t bytes) {
        if (!m_ok || bytes > m_size - m_offset) {
            m_ok = false;
            return false;
        }
        m_offset += bytes;
        return true;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_ok = true;
};

std::wstring ClassName(const std::wstring& read) {
    if (read.size() != 2 || read[0] != 0xFFFF) return read;
    switch (read[1]) {
        case 0x80:
            return L"Button";
        case 0x81:
            return L"Edit";
        case 0x82:
            return L"Static";
        case 0x83:
            return L"ListBox";
        case 0x84:
            return L"ScrollBar";
        case 0x85:
            return L"ComboBox";
        default:
            return {};
    }
}

constexpr size_t kItemCountOffset = 16;  // dlgVer, signature, helpID, exStyle, style

}  // namespace

bool DialogTemplate::Load(HINSTANCE module, UINT templateId) {
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!data) return false;
    Reader reader(data, ::SizeofResource(module, found));

    if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF) return false;
    reader.Skip(2 * sizeof(DWORD));  // help id, extended style
    const DWORD style = reader.Read<DWORD>();
    const WORD count = reader.Read<WORD>();
    reader.Skip(4 * sizeof(short));
    reader.StringOrOrdinal();  // menu
    reader.StringOrOrdinal();  // class
    reader.String();           // title
    if (style & DS_SETFONT) {
        reader.Skip(2 * sizeof(WORD) + 2 * sizeof(BYTE));  // size, weight, italic, character set
        reader.String();
    }
    if (!reader.Ok()) return false;
    const size_t headerSize = reader.Offset();
    m_header.assign((headerSize + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    std::memcpy(m_header.data(), data, headerSize);
    std::memset(reinterpret_cast<BYTE*>(m_header.data()) + kItemCountOffset, 0, sizeof(WORD));

    m_items.clear();
    for (WORD i = 0; i < count && reader.Ok(); ++i) {
        DialogItem item;
        reader.AlignToDword();
        reader.Skip(sizeof(DWORD));  // help id
        item.exStyle = reader.Read<DWORD>();
        item.style = reader.Read<DWORD>();
        const short x = reader.Read<short>(), y = reader.Read<short>();
        const short cx = reader.Read<short>(), cy = reader.Read<short>();
        item.units = {x, y, x + cx, y + cy};
        item.id = static_cast<int>(reader.Read<DWORD>());
        item.className = ClassName(reader.StringOrOrdinal());
        item.text = reader.StringOrOrdinal();
        const WORD extra = reader.Read<WORD>();
        if (extra) {
            item.creationData.resize(sizeof extra + extra);
            std::memcpy(item.creationData.data(), &extra, sizeof extra);
            for (WORD b = 0; b < extra; ++b)
                item.creationData[sizeof extra + b] = reader.Read<BYTE>();
        }
        if (item.className.empty()) return false;
        m_items.push_back(std::move(item));
    }
    return reader.Ok();
}

}  // namespace ui
