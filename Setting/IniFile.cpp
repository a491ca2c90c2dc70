#include "IniFile.h"

#include <cstring>
#include <new>
#include <unordered_map>

#include "Dpi.h"
#include "ExceptionWrapper.h"
#include "FileStamp.h"
#include "HostPath.h"
#include "Text.h"

namespace {

// The platform's private-profile reader opens and parses the file at every call, which costs
// more than the whole rest of a dialog's opening. Its answers are therefore remembered, per
// file, for as long as the file stays as it was: every read first looks at the file's size
// and time of last write (a cheap query without opening it) and forgets what it knew when
// either changed. Each read still sees the file as it is at that moment; only the parsing is
// saved. The memory is shared by every reader of the process and guarded.
class ProfileMemory {
public:
    static ProfileMemory& Instance();

    bool FindString(const std::wstring& path, const std::wstring& entry, std::wstring& value) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const File* file = Current(path);
        if (!file) return false;
        const auto found = file->strings.find(entry);
        if (found == file->strings.end()) return false;
        value = found->second;
        return true;
    }
    bool FindInt(const std::wstring& path, const std::wstring& entry, int& value) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const File* file = Current(path);
        if (!file) return false;
        const auto found = file->ints.find(entry);
        if (found == file->ints.end()) return false;
        value = found->second;
        return true;
    }
    // `stamp` is the file as it was before the platform read the value.
    void RememberString(const std::wstring& path, const FileStamp& stamp, const std::wstring& entry,
                        const std::wstring& value) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (File* file = ForStamp(path, stamp)) file->strings[entry] = value;
    }
    void RememberInt(const std::wstring& path, const FileStamp& stamp, const std::wstring& entry,
                     int value) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (File* file = ForStamp(path, stamp)) file->ints[entry] = value;
    }

private:
    struct File {
        FileStamp stamp;
        std::unordered_map<std::wstring, std::wstring> strings;
        std::unordered_map<std::wstring, int> ints;
    };
    // More entries than a configuration has keys: something reads without end, so start over.
    static constexpr size_t kMaxEntries = 4096;

    // What is known of `path`, if the file is still as it was when it was learnt.
    const File* Current(const std::wstring& path) {
        const auto found = m_files.find(path);
        if (found == m_files.end()) return nullptr;
        if (found->second.stamp != FileStamp::Of(path)) {
            m_files.erase(found);
            return nullptr;
        }
        return &found->second;
    }
    File* ForStamp(const std::wstring& path, const FileStamp& stamp) {
        File& file = m_files[path];
        if (file.stamp != stamp || file.strings.size() + file.ints.size() > kMaxEntries) {
            file = File{};
            file.stamp = stamp;
        }
        return &file;
    }

    std::mutex m_mutex;
    std::unordered_map<std::wstring, File> m_files;
};

// Made when the module loads: a function-local object would be made on first use through the
// thread runtime's guard, which costs the calling thread two handles that are never given back
// once the module unloads.
ProfileMemory g_profileMemory;

ProfileMemory& ProfileMemory::Instance() {
    return g_profileMemory;
}

// Section and key as one entry name; the platform matches them without regard to case, so
// different spellings are simply remembered apart.
std::wstring EntryOf(const std::wstring& section, const std::wstring& key) {
    std::wstring entry = section;
    entry += L'\n';
    entry += key;
    return entry;
}

}  // namespace

CIniFile::CIniFile() : m_lpBuffer(new (std::nothrow) wchar_t[kValueCapacity]) {}

CIniFile::CIniFile(const wchar_t* path) : CIniFile() {
    if (path) m_strPath = path;
}

CIniFile::~CIniFile() {
    m_strPath.clear();
}

void CIniFile::SetPath(const std::wstring& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_strPath = path;
}

bool CIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                          std::wstring& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_strPath.empty() || !m_lpBuffer) return false;
    ProfileMemory& memory = ProfileMemory::Instance();
    const std::wstring entry = EntryOf(section, key);
    if (memory.FindString(m_strPath, entry, text)) return true;

    const FileStamp stamp = FileStamp::Of(m_strPath);
    std::memset(m_lpBuffer.get(), 0, kValueCapacity * sizeof(wchar_t));
    const DWORD length =
        ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", m_lpBuffer.get(),
                                   static_cast<DWORD>(kValueCapacity), m_strPath.c_str());
    text.assign(m_lpBuffer.get(), length);
    // The answer is remembered, so this is said once for each state of the file.
    if (length >= kValueCapacity - 1) {
        LogTrace(__LINE__, WFILE, L"[%s] %s of %s is cut to %d characters", section.c_str(),
                 key.c_str(), m_strPath.c_str(), static_cast<int>(length));
    }
    memory.RememberString(m_strPath, stamp, entry, text);
    return true;
}

bool CIniFile::ReadInt(const std::wstring& section, const std::wstring& key, int& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_strPath.empty() || !m_lpBuffer) return false;
    ProfileMemory& memory = ProfileMemory::Instance();
    const std::wstring entry = EntryOf(section, key);
    if (memory.FindInt(m_strPath, entry, value)) return true;

    const FileStamp stamp = FileStamp::Of(m_strPath);
    value = static_cast<int>(
        ::GetPrivateProfileIntW(section.c_str(), key.c_str(), 0, m_strPath.c_str()));
    memory.RememberInt(m_strPath, stamp, entry, value);
    return true;
}

void CIniFile::ApplyText(HWND window, const std::wstring& section, const std::wstring& key) {
    if (!window) return;
    std::wstring text;
    if (ReadString(section, key, text)) ::SetWindowTextW(window, text.c_str());
}

bool CIniFile::ReadPosition(const std::wstring& section, const std::wstring& key, UINT dpi,
                            RECT& rect, bool& hide) {
    std::wstring value;
    if (!ReadString(section, key, value)) return false;
    const text::Position position = text::ParsePosition(value);
    const dpi::Rect scaled = dpi::ScaledRect(position, dpi);
    rect = {scaled.left, scaled.top, scaled.right, scaled.bottom};
    hide = position.hide;
    return true;
}

void CIniFile::ApplyPosition(HWND window, const std::wstring& section, const std::wstring& key,
                             UINT dpi) {
    RECT rect{};
    bool hide = false;
    if (!window || !ReadPosition(section, key, dpi, rect, hide)) return;
    ::MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    if (hide) ::ShowWindow(window, SW_HIDE);
}

std::wstring HostFilePath(const wchar_t* fileName) {
    const std::wstring dir = HostDirectory();
    return dir.empty() ? std::wstring() : dir + fileName;
}

void ReportUnusableHostFolder() {
    const std::wstring name = HostExecutableName();
    constexpr wchar_t kFormat[] =
        L"the host program's folder cannot be used: the path of %s does not fit %d characters; "
        L"Setting.ini, the skin and the tools beside it are not read";
    LogTrace(__LINE__, WFILE, kFormat, name.c_str(), MAX_PATH - 1);
    wchar_t trace[512];
    _snwprintf(trace, 511, kFormat, name.c_str(), MAX_PATH - 1);
    trace[511] = L'\0';
    ::OutputDebugStringW(trace);
}

bool CheckConfigFile(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    const DWORD error = ::GetLastError();
    LogTrace(__LINE__, WFILE,
             L"configuration file %s cannot be read (error %u); its texts and places read as empty",
             path.c_str(), static_cast<unsigned>(error));
    return false;
}
