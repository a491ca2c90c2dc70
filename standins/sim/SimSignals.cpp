// The two signals outside the state file: the re-initialisation flag in the registry and
// the tray application's named event.
#include "SimState.h"

namespace sim {

namespace {

// Owns an open registry key.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (m_key != nullptr) {
            RegCloseKey(m_key);
        }
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY* Receive() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

DWORD DeleteFlag() {
    RegistryKey key;
    LSTATUS status = RegOpenKeyExW(HKEY_CLASSES_ROOT, kFlagKey, 0, KEY_SET_VALUE, key.Receive());
    if (status == ERROR_FILE_NOT_FOUND) {
        return 0;  // no key, so no value either
    }
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueW(key.Get(), kFlagValue);
    }
    return status == ERROR_FILE_NOT_FOUND ? 0 : static_cast<DWORD>(status);
}

DWORD SetFlag(DWORD type, const void* data, DWORD size) {
    RegistryKey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, kFlagKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, key.Receive(), nullptr);
    if (status == ERROR_SUCCESS) {
        status =
            RegSetValueExW(key.Get(), kFlagValue, 0, type, static_cast<const BYTE*>(data), size);
    }
    return static_cast<DWORD>(status);
}

}  // namespace

DWORD WriteInitNvOk(const std::wstring& setting) {
    if (setting == kFlagKeep) {
        return 0;
    }
    if (setting == kFlagAbsent) {
        return DeleteFlag();
    }
    if (setting == kFlagDword) {
        const DWORD one = 1;
        return SetFlag(REG_DWORD, &one, sizeof one);
    }
    return SetFlag(REG_SZ, setting.c_str(),
                   static_cast<DWORD>((setting.size() + 1) * sizeof(wchar_t)));
}

std::wstring ReadInitNvOk() {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kFlagKey, 0, KEY_QUERY_VALUE, key.Receive()) !=
        ERROR_SUCCESS) {
        return kFlagAbsent;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), kFlagValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return kFlagAbsent;
    }
    if (type != REG_SZ) {
        return kFlagDword;
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), kFlagValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS) {
        return kFlagAbsent;
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

bool SignalTray() {
    const UniqueHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, kTrayEventName));
    return event && SetEvent(event.Get());
}

}  // namespace sim
