// The configuration checker: reads a folder holding Setting.ini, CreateDisk.ini and
// skin\default as the module would, and reports what would show wrongly or not at all.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Ini.h"
#include "TextMeter.h"

namespace settingcheck {

struct Finding {
    std::string check;    // "missing", "position", "layout", "list", "placeholder", ...
    std::string file;     // "Setting.ini", "CreateDisk.ini" or an image's path in the folder
    std::string section;  // as the module names it, or empty
    std::string key;      // or empty
    std::string message;
};

struct Platform {
    // The values of an INI file as the module reads them.
    std::function<std::unique_ptr<ValueSource>(const std::filesystem::path&, const IniDocument&)>
        openValues;
    const TextMeter* meter = nullptr;
};

struct CheckOptions {
    // Stands for "[PRODUCTNAME]" when a title's width is measured.
    std::wstring productName = L"Corvianex Shield";
    // The display's dpi the texts are measured at: the module scales every rectangle and font.
    int dpi = dpi::kBase;
};

struct CheckResult {
    bool readable = false;  // false: the folder could not be read at all
    std::string error;      // why, when not readable
    std::vector<Finding> findings;
};

CheckResult CheckFolder(const std::filesystem::path& folder, const Platform& platform,
                        const CheckOptions& options = {});

}  // namespace settingcheck
