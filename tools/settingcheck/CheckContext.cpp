#include "CheckContext.h"

#include "Strings.h"

namespace settingcheck {

void Context::Add(const std::string& check, const config::Key& key, const std::string& message,
                  const std::wstring& keyName) {
    findings.push_back({check, ToUtf8(config::FileName(key.file)), ToUtf8(key.section),
                        ToUtf8(keyName.empty() ? std::wstring(key.name) : keyName), message});
}

void Context::AddFile(const std::string& check, const std::string& file,
                      const std::string& message) {
    findings.push_back({check, file, "", "", message});
}

bool Context::Get(const config::Key& key, std::wstring& value, const std::wstring& name) {
    FileState& state = State(key.file);
    if (!state.present || !state.values) return false;
    return state.values->Get(key.section, name.empty() ? key.name : name, value);
}

std::wstring Context::Value(const config::Key& key) {
    std::wstring value;
    Get(key, value);
    return value;
}

std::string Context::MeasuredHow() const {
    return platform.meter->Estimated()
               ? " (estimated from a table of character widths; the Windows build of "
                 "settingcheck measures it)"
               : " (measured in \"Segoe UI\" with GDI)";
}

const Placement* Context::Visible(const config::Key& key) const {
    const auto it = placements.find(&key);
    if (it == placements.end()) return nullptr;
    const Placement& p = it->second;
    if (!p.present || !p.usable || p.pos.hide || (key.flags & config::kNeverShown)) return nullptr;
    if (p.pos.width <= 0 || p.pos.height <= 0) return nullptr;
    return &p;
}

bool Context::DialogSize(const config::Key& dialogKey, int& width, int& height) const {
    const auto it = placements.find(&dialogKey);
    if (it == placements.end() || !it->second.usable || !it->second.present) return false;
    width = it->second.pos.width;
    height = it->second.pos.height;
    return width > 0 && height > 0;
}

std::string Name(const config::Key& key) {
    return ToUtf8(key.name);
}

bool IsTextKind(config::Kind kind) {
    using config::Kind;
    return kind == Kind::Text || kind == Kind::Message || kind == Kind::Placeholders ||
           kind == Kind::Pattern || kind == Kind::List;
}

std::wstring WithoutPrefixes(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') out += L'&';
            ++i;
            if (i < text.size() && text[i] != L'&') out += text[i];
            continue;
        }
        out += text[i];
    }
    return out;
}

bool ProcessesAmpersands(config::Shown shown) {
    using config::Shown;
    switch (shown) {
        case Shown::CheckBox:
        case Shown::Label:
        case Shown::Link:
        case Shown::Button:
        case Shown::MessageHeading:
        case Shown::MessageText:
        case Shown::MessageButton:
        case Shown::WaitText:
            return true;
        default:
            return false;
    }
}

}  // namespace settingcheck
