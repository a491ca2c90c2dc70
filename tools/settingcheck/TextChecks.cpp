// Texts: placeholders that are not replaced where they stand, single ampersands that vanish,
// and the save-failure message's format sequences.
#include <cwctype>

#include "Checks.h"
#include "Strings.h"

namespace settingcheck {

namespace {

using config::Key;
using config::Kind;

std::string WhereReplaced(const config::Placeholder& placeholder) {
    std::string keys;
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (!(key.flags & placeholder.flag)) continue;
        if (!keys.empty()) keys += " and ";
        keys += Name(key) + " of [" + ToUtf8(key.section) + "]";
    }
    return keys;
}

std::string KnownPlaceholders() {
    std::string list;
    for (size_t i = 0; i < config::PlaceholderCount(); ++i) {
        const config::Placeholder& p = config::Placeholders()[i];
        if (!list.empty()) list += "; ";
        list += ToUtf8(p.text) + " in " + WhereReplaced(p);
    }
    return list;
}

void CheckText(Context& c, const Key& key, const std::wstring& text, const std::wstring& name) {
    for (size_t open = text.find(L'['); open != std::wstring::npos;
         open = text.find(L'[', open + 1)) {
        const size_t close = text.find(L']', open);
        if (close == std::wstring::npos) break;
        const std::wstring inner = text.substr(open + 1, close - open - 1);
        bool looksLikePlaceholder = !inner.empty();
        for (size_t k = 0; k < inner.size(); ++k) {
            const wchar_t c = inner[k];
            const bool letter = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_';
            const bool digit = c >= L'0' && c <= L'9';
            if (!letter && !(digit && k > 0)) looksLikePlaceholder = false;
        }
        if (!looksLikePlaceholder) continue;
        const std::wstring placeholder = text.substr(open, close - open + 1);
        const config::Placeholder* known = nullptr;
        const config::Placeholder* nearly = nullptr;
        for (size_t i = 0; i < config::PlaceholderCount(); ++i) {
            const config::Placeholder& p = config::Placeholders()[i];
            if (placeholder == p.text) known = &p;
            if (placeholder != p.text && EqualNoCase(placeholder, p.text)) nearly = &p;
        }
        if (known && (key.flags & known->flag)) continue;
        std::string message;
        if (known) {
            message = ToUtf8(placeholder) +
                      " is not replaced in this text, it shows as written: " + ToUtf8(placeholder) +
                      " is replaced only in " + WhereReplaced(*known);
        } else if (nearly) {
            message = ToUtf8(placeholder) +
                      " shows as written: placeholders are matched exactly, write " +
                      ToUtf8(nearly->text);
        } else {
            message = ToUtf8(placeholder) +
                      " is not a placeholder of the module and shows as written (the "
                      "placeholders are " +
                      KnownPlaceholders() + ")";
        }
        c.Add("placeholder", key, message, name);
    }
    if (ProcessesAmpersands(key.shown)) {
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != L'&') continue;
            if (i + 1 < text.size() && text[i + 1] == L'&') {
                ++i;
                continue;
            }
            // Before a letter or digit it marks the control's access key (AccessChecks.cpp).
            if (i + 1 < text.size() && std::iswalnum(text[i + 1])) break;
            c.Add("text", key,
                  "a single '&' is not shown: the control underlines the character after it; "
                  "write '&&' to show '&'",
                  name);
            break;
        }
    }
}

// The save-failure message as the module fills it (text::FormatSequences): every sequence it
// shows as written, and a message that never shows the engine's error code.
void CheckPattern(Context& c) {
    const Key& key = config::kPassSaveFailed;
    std::wstring pattern;
    if (!c.Get(key, pattern) || pattern.empty()) return;
    std::wstring filled;  // the conversion that receives the code
    for (const text::FormatSequence& sequence : text::FormatSequences(pattern)) {
        const std::wstring written = pattern.substr(sequence.at, sequence.length);
        if (sequence.part == text::FormatPart::Value) filled = written;
        if (sequence.part != text::FormatPart::Shown) continue;
        c.Add("format", key,
              "\"" + ToUtf8(written) + "\" shows as written: " +
                  (filled.empty() ? std::string("the text receives one integer, the engine's "
                                                "error code, through its first %d (a width or "
                                                "precision of at most 32)")
                                  : "only the first integer conversion, \"" + ToUtf8(filled) +
                                        "\", receives the engine's error code") +
                  " (write %% for a percent sign)");
    }
    if (filled.empty()) {
        c.Add("format", key,
              "has no %d: the engine's error code is not shown (the text receives it through "
              "its first %d, %i, %u, %x or %X)");
    }
}

}  // namespace

void CheckTexts(Context& c) {
    for (size_t i = 0; i < config::KeyCount(); ++i) {
        const Key& key = *config::AllKeys()[i];
        if (!IsTextKind(key.kind)) continue;
        if (key.kind == Kind::List) {
            for (int entry = 0; entry < 1000; ++entry) {
                std::wstring text;
                if (!c.Get(key, text, key.EntryName(entry))) break;
                CheckText(c, key, text, key.EntryName(entry));
            }
            continue;
        }
        std::wstring text;
        if (c.Get(key, text)) CheckText(c, key, text, std::wstring());
    }
    std::wstring usage;
    if (c.Get(config::kUsageText, usage) && !Trim(usage).empty()) {
        for (const wchar_t* figure : {L"[USED]", L"[TOTAL]"}) {
            if (usage.find(figure) == std::wstring::npos) {
                c.Add("placeholder", config::kUsageText,
                      "has no " + ToUtf8(figure) + ": that figure is not shown");
            }
        }
    }
    CheckPattern(c);
}

}  // namespace settingcheck
