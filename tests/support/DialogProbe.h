// Small looks at the host's secondary windows (message dialog, waiting box, password dialog,
// balloon tip), at the engine's journal and at the log, shared by the UI tests of the
// protection switch, the message dialog, the resize command and the password.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "HostProcess.h"
#include "Sandbox.h"
#include "SimJournal.h"
#include "Ui.h"
#include "resource.h"

namespace testsupport {

// Texts of the shipped Setting.ini and CreateDisk.ini that the tests expect to see.
namespace shipped {
inline const std::wstring kTitle = L"Corvianex Shield Settings";
inline const std::wstring kCaption = L"Corvianex Shield 5";  // the engine's product caption
inline const std::wstring kWarning = L"Warning";
inline const std::wstring kWrong = L"Something went wrong";
}  // namespace shipped

// A folder name for the running test's sandbox: parameterised tests have '/' in their names.
inline std::string SandboxName() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? test->name() : "test";
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

inline RECT WindowRectOf(HWND window) {
    RECT rc{};
    ::GetWindowRect(window, &rc);
    return rc;
}

inline HWND OwnerOf(HWND window) {
    return ::GetWindow(window, GW_OWNER);
}

// The visible message dialog of the host (it alone has the heading 1036).
inline HWND FindMessageDialog(const HostProcess& host) {
    return host.FindDialogWith(IDC_MSG_HEADING);
}
inline HWND WaitForMessageDialog(const HostProcess& host, DWORD ms = 15000) {
    return host.WaitForDialogWith(IDC_MSG_HEADING, ms);
}
// The visible waiting box (it alone has the static 1023).
inline HWND FindWaitingBox(const HostProcess& host) {
    return host.FindDialogWith(IDC_STATIC_WAIT);
}
// The visible password dialog (it alone has the new-password field 1025).
inline HWND FindPasswordDialog(const HostProcess& host) {
    return host.FindDialogWith(IDC_E_NEWPASS);
}

// A visible balloon tip of the host.
inline HWND FindToolTip(const HostProcess& host) {
    for (HWND window : host.Windows()) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (_wcsicmp(name, L"tooltips_class32") == 0) return window;
    }
    return nullptr;
}

// Sets an edit control's text as a program would (WM_SETTEXT), for checks that are not
// about typing.
inline void SetEditText(HWND dialog, int id, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored);
}

inline int TextLength(HWND dialog, int id) {
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000,
                          &length);
    return static_cast<int>(length);
}

// Puts `text` on the clipboard, as another program would; `owner` (a window of the test that
// lives while the text is used) becomes the clipboard's owner.
inline bool PutOnClipboard(HWND owner, const std::wstring& text) {
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool put = false;
    if (memory) {
        if (void* target = ::GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            ::GlobalUnlock(memory);
            put = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!put) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return put;
}

// Journal entries of one operation.
inline std::vector<sim::JournalEntry> JournalOf(const Sandbox& sandbox, const std::string& op) {
    return sim::ReadJournal(sandbox.Dir(), op);
}
// Forgets what the engine was asked so far (the opening's reads), so that a test sees only
// the calls its own actions cause.
inline void ForgetJournal(const Sandbox& sandbox) {
    sim::ClearJournal(sandbox.Dir());
}

// Log records that contain `part`.
inline std::vector<std::wstring> LogLinesWith(const Sandbox& sandbox, const std::wstring& part) {
    std::vector<std::wstring> found;
    for (const auto& line : sandbox.LogLines()) {
        if (line.find(part) != std::wstring::npos) found.push_back(line);
    }
    return found;
}

// Index of the first call named `op` at or after `from` in `calls`; calls.size() if none.
inline size_t IndexOf(const std::vector<std::string>& calls, const std::string& op,
                      size_t from = 0) {
    for (size_t i = from; i < calls.size(); ++i) {
        if (calls[i] == op) return i;
    }
    return calls.size();
}

}  // namespace testsupport
