// Reader of one INI file: strings and integers through the platform's private-profile
// functions, and two shortcuts used for nearly every control: set a window's text from a
// key, and move a window to the rectangle a key gives (or hide it).
//
// The file is opened anew by every read, so edits take effect at once. Reads of one
// instance are serialised; still, each dialog and each worker thread keeps its own reader.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

#include "ConfigKeys.h"
#include "SettingsModel.h"

// Also the settings model's view of Setting.ini.
class CIniFile : public settings::Configuration {
public:
    static constexpr size_t kValueCapacity = 5120;  // characters; longer values are cut

    CIniFile();
    explicit CIniFile(const wchar_t* path);
    ~CIniFile() override;
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    void SetPath(const std::wstring& path);
    const std::wstring& Path() const { return m_strPath; }

    // False (and `text` untouched) without a path or buffer. A missing file, section or
    // key reads as an empty text.
    bool ReadString(const std::wstring& section, const std::wstring& key, std::wstring& text);
    // The decimal number at the start of the value; 0 when missing. False as ReadString.
    bool ReadInt(const std::wstring& section, const std::wstring& key, int& value);

    // Convenience for callers that want the empty text on failure.
    std::wstring String(const std::wstring& section, const std::wstring& key) {
        std::wstring text;
        ReadString(section, key, text);
        return text;
    }

    // The same through the table of the module's keys (ConfigKeys.h); the module reads every
    // value this way.
    bool ReadString(const config::Key& key, std::wstring& text) {
        return ReadString(key.section, key.name, text);
    }
    bool ReadInt(const config::Key& key, int& value) {
        return ReadInt(key.section, key.name, value);
    }
    std::wstring String(const config::Key& key) { return String(key.section, key.name); }
    // Entry `index` of a numbered list.
    bool ReadEntry(const config::Key& list, int index, std::wstring& text) {
        return ReadString(list.section, list.EntryName(index), text);
    }
    bool ReadEntry(const config::Key& list, int index, int& value) {
        return ReadInt(list.section, list.EntryName(index), value);
    }
    // The settings model's reads: "" and 0 for what cannot be read.
    std::wstring Text(const config::Key& key) override { return String(key); }
    int Number(const config::Key& key) override {
        int value = 0;
        ReadInt(key, value);
        return value;
    }
    std::wstring EntryText(const config::Key& list, int index) override {
        std::wstring text;
        ReadEntry(list, index, text);
        return text;
    }
    int EntryNumber(const config::Key& list, int index) override {
        int value = 0;
        ReadEntry(list, index, value);
        return value;
    }

    void ApplyText(HWND window, const config::Key& key) {
        ApplyText(window, key.section, key.name);
    }
    void ApplyPosition(HWND window, const config::Key& key, UINT dpi) {
        ApplyPosition(window, key.section, key.name, dpi);
    }

    // The rectangle "x,y,width,height" of a key (pixels at 96 dpi) scaled to `dpi`, each
    // number apart, its far edges held to the 32-bit range (dpi::ScaledRect), and whether a fifth
    // number other than 0 hides the window. False as ReadString.
    bool ReadPosition(const std::wstring& section, const std::wstring& key, UINT dpi, RECT& rect,
                      bool& hide);
    bool ReadPosition(const config::Key& key, UINT dpi, RECT& rect, bool& hide) {
        return ReadPosition(key.section, key.name, dpi, rect, hide);
    }

    // Sets the window's text to the value as read (no placeholder replaced).
    void ApplyText(HWND window, const std::wstring& section, const std::wstring& key);
    // Moves the window to "x,y,width,height" (pixels at 96 dpi, scaled to `dpi`) with a
    // repaint; a fifth number other than 0 then hides it.
    void ApplyPosition(HWND window, const std::wstring& section, const std::wstring& key, UINT dpi);

private:
    std::wstring m_strPath;
    std::unique_ptr<wchar_t[]> m_lpBuffer;  // kValueCapacity characters
    std::mutex m_mutex;
};

// dir + "\Setting.ini" style paths: the host folder followed by `fileName` (with its
// leading backslash).
std::wstring HostFilePath(const wchar_t* fileName);

// Tells the log and the debugger output that the host's folder cannot be used because its
// path is too long: nothing beside the executable (configuration, skin, tools) is read.
void ReportUnusableHostFolder();

// Whether the configuration file at `path` exists; when it does not, a trace in the log says
// so (its texts and places then read as empty).
bool CheckConfigFile(const std::wstring& path);
