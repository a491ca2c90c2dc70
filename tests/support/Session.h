// What every test through ShowDlgSetting does: a product folder of its own (Sandbox), the demo
// host running in it with its window up, and one opening of the settings dialog per table row,
// each from the engine state and configuration the row gives. The host lives across the rows
// (as a host program opens the settings many times); a host that died is started again.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Harness.h"
#include "Sandbox.h"
#include "Scenario.h"
#include "SimJournal.h"
#include "resource.h"

namespace testsupport {

// Texts of the shipped Setting.ini and CreateDisk.ini that the tests expect to see.
namespace shipped {
inline const std::wstring kTitle = L"Corvianex Shield Settings";
inline const std::wstring kCaption = L"Corvianex Shield 5";  // the engine's product caption
inline const std::wstring kWarning = L"Warning";
inline const std::wstring kWrong = L"Something went wrong";
}  // namespace shipped

// One value of an INI file of the sandbox; a null value deletes the key.
struct IniValue {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
    const wchar_t* file = L"Setting.ini";
};

class Session {
public:
    explicit Session(const std::string& name = TestName(), size_t padTo = 0);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Sets the engine (Scenario.h's language, from its defaults) and the configuration (the
    // shipped files with `ini` changed), empties the journal and the log; then opens the
    // settings and returns the dialog once it is up (a test failure when it is not).
    HWND Open(const std::string& engine = "", const std::vector<IniValue>& ini = {});
    // The same, but leaves the dialog to come up by itself (for openings that may not).
    void Prepare(const std::string& engine = "", const std::vector<IniValue>& ini = {});
    // Ends the open dialog with the close request; a dialog that does not go ends the host.
    void Close(HWND dialog);

    // Engine operations called since the last Open, Prepare or ForgetCalls, in order
    // (the resize tool and the tray application's lines left out).
    std::vector<std::string> EngineCalls() const;
    std::vector<sim::JournalEntry> Entries(const std::string& operation) const;
    void ForgetCalls() const;
    // Only Get calls reached the engine.
    void ExpectOnlyReads() const;
    // The log's records, and those containing `part`.
    std::vector<std::wstring> Log() const;
    std::vector<std::wstring> LogWith(const std::wstring& part) const;
    // Exactly one record contains each of `parts`, in that order; no other record is there.
    void ExpectLog(const std::vector<std::wstring>& parts) const;

    std::wstring Setting(const wchar_t* section, const wchar_t* key) const {
        return sandbox.GetIni(L"Setting.ini", section, key);
    }

    Sandbox sandbox;
    std::unique_ptr<HostProcess> host;

private:
    void RestoreConfiguration();
    std::string m_shippedSetting, m_shippedCreateDisk;
};

// Ends every tray application a test started (each signal ends one instance).
void StopTrays();

// The host's secondary windows.
inline HWND FindMessageDialog(const HostProcess& host) {
    return host.FindDialogWith(IDC_MSG_HEADING);
}
inline HWND WaitForMessageDialog(const HostProcess& host, DWORD ms = 15000) {
    return host.WaitForDialogWith(IDC_MSG_HEADING, ms);
}
inline HWND FindWaitingBox(const HostProcess& host) {
    return host.FindDialogWith(IDC_STATIC_WAIT);
}
inline HWND FindPasswordDialog(const HostProcess& host) {
    return host.FindDialogWith(IDC_E_NEWPASS);
}
HWND FindToolTip(const HostProcess& host);

// A platform message box of the host: its text checked, then answered with `button`.
void AnswerMessageBox(const HostProcess& host, const std::wstring& text, int button);

inline HWND OwnerOf(HWND window) {
    return ::GetWindow(window, GW_OWNER);
}
inline RECT WindowRectOf(HWND window) {
    RECT rc{};
    ::GetWindowRect(window, &rc);
    return rc;
}
bool Answers(HWND window);

// Sets an edit control's text as a program would, for checks that are not about typing.
void SetEditText(HWND dialog, int id, const std::wstring& text);

std::string Joined(const std::vector<std::string>& items);

// The record that the one call of `operation` carried in its argument `name`.
template <class Record>
Record Sent(const Session& session, const char* operation, const char* name = "setting") {
    const auto entries = session.Entries(operation);
    EXPECT_EQ(entries.size(), 1u) << operation;
    if (entries.empty()) return Record{};
    const auto record = entries.back().template RecordArg<Record>(name);
    EXPECT_TRUE(record.has_value()) << entries.back().line;
    return record.value_or(Record{});
}

}  // namespace testsupport
