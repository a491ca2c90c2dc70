#include <cstdio>

#include "Command.h"

namespace settingcheck {

namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

}  // namespace

void WriteText(const CheckResult& result, const std::string& folder, std::ostream& out) {
    for (const Finding& f : result.findings) {
        out << f.file;
        if (!f.section.empty()) out << " [" << f.section << "]";
        if (!f.key.empty()) out << " " << f.key;
        out << ": " << f.message << "\n";
    }
    if (result.findings.empty())
        out << folder << ": no findings\n";
    else
        out << folder << ": " << result.findings.size() << " finding"
            << (result.findings.size() == 1 ? "" : "s") << "\n";
}

void WriteJson(const CheckResult& result, const std::string& folder, bool estimated,
               std::ostream& out) {
    out << "{\n  \"folder\": " << JsonString(folder)
        << ",\n  \"readable\": " << (result.readable ? "true" : "false") << ",\n";
    if (!result.readable) out << "  \"error\": " << JsonString(result.error) << ",\n";
    out << "  \"textWidths\": " << (estimated ? "\"estimated\"" : "\"measured\"") << ",\n";
    out << "  \"findings\": [";
    for (size_t i = 0; i < result.findings.size(); ++i) {
        const Finding& f = result.findings[i];
        out << (i ? ",\n" : "\n") << "    {\"check\": " << JsonString(f.check)
            << ", \"file\": " << JsonString(f.file) << ", \"section\": " << JsonString(f.section)
            << ", \"key\": " << JsonString(f.key) << ", \"message\": " << JsonString(f.message)
            << "}";
    }
    out << (result.findings.empty() ? "]\n" : "\n  ]\n") << "}\n";
}

}  // namespace settingcheck
