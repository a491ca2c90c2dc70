#include "IniFile.h"

#include <cstring>
#include <new>

#include "HostPath.h"
#include "Text.h"

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
    std::memset(m_lpBuffer.get(), 0, kValueCapacity * sizeof(wchar_t));
    const DWORD length =
        ::GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", m_lpBuffer.get(),
                                   static_cast<DWORD>(kValueCapacity), m_strPath.c_str());
    text.assign(m_lpBuffer.get(), length);
    return true;
}

bool CIniFile::ReadInt(const std::wstring& section, const std::wstring& key, int& value) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_strPath.empty() || !m_lpBuffer) return false;
    value = static_cast<int>(
        ::GetPrivateProfileIntW(section.c_str(), key.c_str(), 0, m_strPath.c_str()));
    return true;
}

void CIniFile::ApplyText(HWND window, const std::wstring& section, const std::wstring& key) {
    if (!window) return;
    std::wstring text;
    if (ReadString(section, key, text)) ::SetWindowTextW(window, text.c_str());
}

void CIniFile::ApplyPosition(HWND window, const std::wstring& section, const std::wstring& key) {
    if (!window) return;
    std::wstring value;
    if (!ReadString(section, key, value)) return;
    const text::Position position = text::ParsePosition(value);
    ::MoveWindow(window, position.x, position.y, position.width, position.height, TRUE);
    if (position.hide) ::ShowWindow(window, SW_HIDE);
}

std::wstring HostFilePath(const wchar_t* fileName) {
    const std::wstring dir = HostDirectory();
    return dir.empty() ? std::wstring() : dir + fileName;
}
