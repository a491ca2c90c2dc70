#include "TextMeter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace settingcheck {

namespace {

struct FontTable {
    int pixels;
    bool bold;
    int lineHeight;
    int widths[95];  // characters 0x20 .. 0x7E
};

#include "FontTable.inc"

class TableMeter : public TextMeter {
public:
    int Width(const std::wstring& text, Font font) const override {
        const FontTable& table = TableFor(font);
        int64_t width = 0;
        for (wchar_t c : text)
            width += CharWidth(table, c);
        return ScaledTo(font, table, width);
    }
    int LineHeight(Font font) const override {
        return ScaledTo(font, TableFor(font), TableFor(font).lineHeight);
    }
    // As GDI measures them for the dialog font at 96 dpi; at another size, as the dialog
    // manager finds them: the average width of the 52 letters, and the line height.
    int BaseUnitX(Font font) const override {
        if (font.pixels == kDialogFont.pixels && font.bold == kDialogFont.bold) return kBaseUnitX;
        return (Width(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", font) / 26 + 1) / 2;
    }
    int BaseUnitY(Font font) const override {
        if (font.pixels == kDialogFont.pixels && font.bold == kDialogFont.bold) return kBaseUnitY;
        return LineHeight(font);
    }
    int FrameExtraWidth() const override { return kFrameExtraWidth; }
    int FrameExtraHeight() const override { return kFrameExtraHeight; }
    bool Estimated() const override { return true; }

private:
    static const FontTable& TableFor(Font font) {
        const FontTable* best = &kFontTables[0];
        for (const FontTable& table : kFontTables) {
            if (table.pixels == font.pixels && table.bold == font.bold) return table;
            if (table.bold == font.bold) best = &table;
        }
        return *best;
    }
    // `pixels` of `table`'s font in `font`, a size the table may not have: the widths of
    // "Segoe UI" grow in proportion to its size.
    static int ScaledTo(Font font, const FontTable& table, int64_t pixels) {
        if (font.pixels == table.pixels) return static_cast<int>(pixels);
        return static_cast<int>((pixels * font.pixels + table.pixels / 2) / table.pixels);
    }
    static int CharWidth(const FontTable& table, wchar_t c) {
        if (c >= 0x20 && c <= 0x7E) return table.widths[c - 0x20];
        // East Asian scripts are about one em wide; other letters about an average
        // lower-case letter.
        const unsigned code = static_cast<unsigned>(c);
        if ((code >= 0x2E80 && code <= 0xA4CF) || (code >= 0xAC00 && code <= 0xD7AF) ||
            (code >= 0xF900 && code <= 0xFAFF) || (code >= 0xFF00 && code <= 0xFF60))
            return table.pixels;
        if (code < 0x20) return 0;
        int sum = 0;
        for (char letter = 'a'; letter <= 'z'; ++letter)
            sum += table.widths[letter - 0x20];
        return (sum + 13) / 26;
    }
};

}  // namespace

Wrapped TextMeter::Wrap(const std::wstring& text, Font font, int width) const {
    Wrapped result;
    const int space = Width(L" ", font);
    size_t at = 0;
    int lineWidth = 0;
    bool lineHasWord = false;
    auto endLine = [&] {
        result.lines += 1;
        result.widest = std::max(result.widest, lineWidth);
        lineWidth = 0;
        lineHasWord = false;
    };
    while (at <= text.size()) {
        size_t end = text.find(L' ', at);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring word = text.substr(at, end - at);
        const int wordWidth = Width(word, font);
        if (lineHasWord && lineWidth + space + wordWidth > width) endLine();
        lineWidth += (lineHasWord ? space : 0) + wordWidth;
        lineHasWord = true;
        at = end + 1;
    }
    endLine();
    return result;
}

std::unique_ptr<TextMeter> MakeTableMeter() {
    return std::make_unique<TableMeter>();
}

#ifndef _WIN32
std::unique_ptr<TextMeter> MakeGdiMeter() {
    return nullptr;
}
bool PrintFontTable() {
    return false;
}
#endif

}  // namespace settingcheck
