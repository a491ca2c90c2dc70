// What every family of checks shares: the folder's two INI files as the module reads them,
// the positions read from them, the findings so far, and the small rules of how a text is
// shown. The families themselves (Checks.h) each live in a unit of their own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Checker.h"
#include "ConfigKeys.h"
#include "Ini.h"
#include "Text.h"

namespace settingcheck {

// In 64 bits: a position's numbers may be anywhere in the 32-bit range, and so their sums.
struct Rect {
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    int64_t Width() const { return right - left; }
    int64_t Height() const { return bottom - top; }
    bool Intersects(const Rect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool Contains(const Rect& o) const {
        return o.left >= left && o.right <= right && o.top >= top && o.bottom <= bottom;
    }
    bool ContainsPoint(int64_t x, int64_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

// A position value as the module reads it, with what looks wrong in it.
struct Placement {
    bool present = false;
    bool usable = false;  // four or five numbers and no negative size
    text::Position pos;
    Rect rect;  // as the module places it at 96 dpi; for a drop-down list, the closed box
};

struct FileState {
    bool present = false;
    IniDocument document;
    std::unique_ptr<ValueSource> values;
};

class Context {
public:
    Context(const std::filesystem::path& folder, const Platform& platform,
            const CheckOptions& options)
        : folder(folder), platform(platform), options(options) {}

    void Add(const std::string& check, const config::Key& key, const std::string& message,
             const std::wstring& keyName = std::wstring());
    void AddFile(const std::string& check, const std::string& file, const std::string& message);

    FileState& State(config::File file) {
        return file == config::File::SettingIni ? setting : createDisk;
    }
    // The value of `key` (of the list entry `name`), false when its file or the key is missing.
    bool Get(const config::Key& key, std::wstring& value,
             const std::wstring& name = std::wstring());
    std::wstring Value(const config::Key& key);

    // How a text width in a finding was found.
    std::string MeasuredHow() const;

    // The control's rectangle when it is shown and its position is usable.
    const Placement* Visible(const config::Key& key) const;
    bool DialogSize(const config::Key& dialogKey, int& width, int& height) const;

    const std::filesystem::path folder;
    const Platform& platform;
    const CheckOptions options;
    FileState setting, createDisk;
    std::map<const config::Key*, Placement> placements;
    std::vector<Finding> findings;
};

std::string Name(const config::Key& key);
bool IsTextKind(config::Kind kind);
// Texts of controls that draw "&x" as an underlined x.
bool ProcessesAmpersands(config::Shown shown);
// The text as such a control draws it: "&&" gives "&", a single "&" disappears.
std::wstring WithoutPrefixes(const std::wstring& text);

}  // namespace settingcheck
