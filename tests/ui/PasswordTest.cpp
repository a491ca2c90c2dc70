// Password protection: the check box 1045 opens the password dialog (or removes the
// password after a question), the dialog's texts and places, its checks and messages, what
// the engine stores, and the eight-character fields with their balloon hint.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "DialogProbe.h"
#include "HostProcess.h"
#include "Sandbox.h"
#include "Ui.h"
#include "resource.h"

using namespace testsupport;

namespace {

constexpr DWORD kEngineCode = 1234;
constexpr DWORD kHintUpperBoundMs = 3000;  // the hint shows for about a second

class PasswordTest : public ::testing::Test {
protected:
    void StoredPassword(const std::string& password) const {
        sandbox.UpdateEngine([&](sim::EngineState& state) { state.password = password; });
    }

    HWND OpenSettings(HostProcess& host) {
        dialog = host.WaitForSettings();
        ForgetJournal(sandbox);
        return dialog;
    }

    // Opens the settings dialog and ticks the password box; the password dialog is then up.
    HWND OpenPasswordDialog(HostProcess& host) {
        if (!OpenSettings(host)) return nullptr;
        Click(dialog, IDC_PASSWORD);
        return host.WaitForDialogWith(IDC_E_NEWPASS);
    }

    // Gives a field the keyboard focus the way a user does: a click into it.
    static void FocusField(HWND pass, int id) {
        BringToFront(pass);
        const RECT rc = RectIn(pass, id);
        MouseClick(ClientToScreenPoint(pass, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    }

    // The message box that the OK handling or the removal shows: text, caption and owner
    // checked, then confirmed with its first button.
    void ExpectMessage(HostProcess& host, HWND owner, const std::wstring& text,
                       const std::wstring& caption, int answer = IDOK) {
        HWND box = host.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no message";
        EXPECT_EQ(Text(box, 0xFFFF), text);
        EXPECT_EQ(Text(box), caption);
        EXPECT_EQ(OwnerOf(box), owner);
        Click(box, answer);
        ASSERT_TRUE(WaitUntil([&] { return host.FindMessageBox() == nullptr; }));
    }

    std::wstring Setting(const wchar_t* key) const {
        return sandbox.GetIni(L"Setting.ini", L"SETTING", key);
    }

    std::vector<std::string> StoredPasswords() const {
        std::vector<std::string> stored;
        for (const auto& entry : JournalOf(sandbox, "SetCvxPassWord")) {
            stored.push_back(entry.Ansi("password").value_or("<not ANSI>"));
        }
        return stored;
    }

    Sandbox sandbox{SandboxName()};
    HWND dialog = nullptr;
};

// ---------------------------------------------------------------------------------------
// Opening

TEST_F(PasswordTest, TickingOpensThePasswordDialogTextedAndPlacedFromSettingIni) {
    sandbox.UpdateEngine([](sim::EngineState& state) { state.productName = L"Vaultkeeper"; });
    sandbox.SetSetting(L"SETTING", L"TITLE", L"[PRODUCTNAME] - [PRODUCTNAME] password");
    HostProcess host(sandbox);
    HWND pass = OpenPasswordDialog(host);
    ASSERT_NE(pass, nullptr) << "no password dialog";

    EXPECT_EQ(Text(pass), L"Vaultkeeper - Vaultkeeper password");
    const struct {
        int id;
        const wchar_t* key;
    } texts[] = {{IDC_S_NEWPASS, L"S_NEWPASS"},
                 {IDC_S_NEWPASS2, L"S_NEWPASS2"},
                 {IDOK, L"S_PASSOK"},
                 {IDCANCEL, L"S_PASSCANCEL"},
                 {IDC_S_FORGETPASS, L"S_FORGETPASS"},
                 {IDC_S_CURPASS, L"S_CURPASS"}};
    for (const auto& text : texts) {
        EXPECT_EQ(Text(pass, text.id), Setting(text.key)) << "control " << text.id;
    }
    // Rectangles of the shipped "POSITION" keys (x, y, width, height).
    const struct {
        int id;
        RECT rc;
    } places[] = {{IDC_S_NEWPASS, {20, 22, 170, 40}},     {IDC_E_NEWPASS, {176, 18, 352, 40}},
                  {IDC_S_NEWPASS2, {20, 56, 170, 74}},    {IDC_E_NEWPASS2, {176, 52, 352, 74}},
                  {IDC_S_FORGETPASS, {20, 92, 352, 132}}, {IDOK, {176, 150, 260, 176}},
                  {IDCANCEL, {268, 150, 352, 176}}};
    for (const auto& place : places) {
        const RECT rc = RectIn(pass, place.id);
        EXPECT_TRUE(::EqualRect(&rc, &place.rc))
            << "control " << place.id << " at " << rc.left << "," << rc.top << "," << rc.right
            << "," << rc.bottom;
    }
    // The current-password row never shows.
    EXPECT_FALSE(Visible(pass, IDC_S_CURPASS));
    EXPECT_FALSE(Visible(pass, IDC_E_CURPASS));

    // 380 x 230 from "PASSDLG", centred on the settings dialog, which it is modal over.
    const RECT own = WindowRectOf(pass);
    EXPECT_EQ(own.right - own.left, 380);
    EXPECT_EQ(own.bottom - own.top, 230);
    const RECT under = WindowRectOf(dialog);
    EXPECT_NEAR((own.left + own.right) / 2, (under.left + under.right) / 2, 1);
    EXPECT_NEAR((own.top + own.bottom) / 2, (under.top + under.bottom) / 2, 1);
    EXPECT_EQ(OwnerOf(pass), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    EXPECT_TRUE(Checked(dialog, IDC_PASSWORD));
    EXPECT_TRUE(StoredPasswords().empty());
    host.Kill();
}

TEST_F(PasswordTest, FailingProductInfoIsLoggedAndEndsTheDialogAsCancelled) {
    HostProcess host(sandbox);
    ASSERT_NE(OpenSettings(host), nullptr);
    sandbox.FailEngine("GetProductInfo", 5);
    Click(dialog, IDC_PASSWORD);
    EXPECT_TRUE(WaitUntil([&] { return !LogLinesWith(sandbox, L"Error = 5 ").empty(); }));
    EXPECT_TRUE(WaitUntil([&] { return !Checked(dialog, IDC_PASSWORD); }, 5000));
    host.Settle();
    EXPECT_EQ(FindPasswordDialog(host), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    EXPECT_TRUE(StoredPasswords().empty());
    host.Kill();
}

// ---------------------------------------------------------------------------------------
// The OK handling

struct Rejected {
    const char* name;
    const wchar_t* typed;
    const wchar_t* repeated;
    const wchar_t* messageKey;
    bool staticTitleCaption;  // else the dialog's title
};

void PrintTo(const Rejected& rejected, std::ostream* out) {
    *out << rejected.name;
}

const Rejected kRejected[] = {
    {"Different", L"s3cret", L"s3creT", L"S_MSG_PASS_DONOTMATCH", false},
    {"BothEmpty", L"", L"", L"S_MSG_PASS_NULL", true},
    {"RepeatEmpty", L"s3cret", L"", L"S_MSG_PASS_DONOTMATCH", false},
    {"NewEmpty", L"", L"s3cret", L"S_MSG_PASS_DONOTMATCH", false},
};

class RejectedPasswordTest : public PasswordTest, public ::testing::WithParamInterface<Rejected> {};

TEST_P(RejectedPasswordTest, IsExplainedStoresNothingAndKeepsTheDialog) {
    const Rejected& input = GetParam();
    HostProcess host(sandbox);
    HWND pass = OpenPasswordDialog(host);
    ASSERT_NE(pass, nullptr);
    SetEditText(pass, IDC_E_NEWPASS, input.typed);
    SetEditText(pass, IDC_E_NEWPASS2, input.repeated);
    Click(pass, IDOK);
    ExpectMessage(host, pass, Setting(input.messageKey),
                  input.staticTitleCaption ? Setting(L"STATIC_TITLE") : Text(pass));
    host.Settle();
    EXPECT_TRUE(::IsWindowVisible(pass));
    EXPECT_EQ(Text(pass, IDC_E_NEWPASS), input.typed);
    EXPECT_TRUE(StoredPasswords().empty());
    EXPECT_EQ(sandbox.Engine().password, "");
    host.Kill();
}

INSTANTIATE_TEST_SUITE_P(Inputs, RejectedPasswordTest, ::testing::ValuesIn(kRejected),
                         [](const ::testing::TestParamInfo<Rejected>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PasswordTest, StoredPasswordKeepsTheBoxTickedNowAndAtTheNextOpening) {
    {
        HostProcess host(sandbox);
        HWND pass = OpenPasswordDialog(host);
        ASSERT_NE(pass, nullptr);
        FocusField(pass, IDC_E_NEWPASS);
        TypeText(L"s3cret");
        FocusField(pass, IDC_E_NEWPASS2);
        TypeText(L"s3cret");
        Click(pass, IDOK);
        ExpectMessage(host, pass, Setting(L"S_MSG_PASS_SAVEOK"), Text(pass));
        EXPECT_TRUE(WaitUntil([&] { return FindPasswordDialog(host) == nullptr; }));
        host.Settle();
        EXPECT_EQ(StoredPasswords(), std::vector<std::string>{"s3cret"});
        const auto stored = JournalOf(sandbox, "SetCvxPassWord");
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0].bytes, (std::vector<BYTE>{'s', '3', 'c', 'r', 'e', 't'}));
        EXPECT_EQ(sandbox.Engine().password, "s3cret");
        EXPECT_TRUE(Checked(dialog, IDC_PASSWORD));
        EXPECT_TRUE(::IsWindowEnabled(dialog));
        host.Kill();
    }
    HostProcess again(sandbox);
    HWND dialog = again.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Checked(dialog, IDC_PASSWORD));
    again.Kill();
}

TEST_F(PasswordTest, StoreFailureShowsTheCodeKeepsTheDialogAndCancelThenClearsTheBox) {
    sandbox.FailEngine("SetCvxPassWord", kEngineCode);
    HostProcess host(sandbox);
    HWND pass = OpenPasswordDialog(host);
    ASSERT_NE(pass, nullptr);
    SetEditText(pass, IDC_E_NEWPASS, L"s3cret");
    SetEditText(pass, IDC_E_NEWPASS2, L"s3cret");
    Click(pass, IDOK);
    std::wstring expected = Setting(L"S_MSG_PASS_SAVEFAIL");
    expected.replace(expected.find(L"%d"), 2, L"1234");
    ExpectMessage(host, pass, expected, Text(pass));
    host.Settle();
    EXPECT_TRUE(::IsWindowVisible(pass));
    EXPECT_EQ(JournalOf(sandbox, "SetCvxPassWord").size(), 1u);

    Click(pass, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return FindPasswordDialog(host) == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return !Checked(dialog, IDC_PASSWORD); }, 5000));
    EXPECT_EQ(sandbox.Engine().password, "");
    host.Kill();
}

TEST_F(PasswordTest, HostileFailureTextIsShownLiterallyWithTheCode) {
    sandbox.SetSetting(L"SETTING", L"S_MSG_PASS_SAVEFAIL", L"%s%s%n %d");
    sandbox.FailEngine("SetCvxPassWord", kEngineCode);
    HostProcess host(sandbox);
    HWND pass = OpenPasswordDialog(host);
    ASSERT_NE(pass, nullptr);
    SetEditText(pass, IDC_E_NEWPASS, L"s3cret");
    SetEditText(pass, IDC_E_NEWPASS2, L"s3cret");
    Click(pass, IDOK);
    ExpectMessage(host, pass, L"%s%s%n 1234", Text(pass));
    host.Settle();
    EXPECT_TRUE(host.Running());
    EXPECT_TRUE(::IsWindowVisible(pass));
    host.Kill();
}

TEST_F(PasswordTest, PasswordSetMeanwhileElsewhereIsNotOverwritten) {
    HostProcess host(sandbox);
    HWND pass = OpenPasswordDialog(host);
    ASSERT_NE(pass, nullptr);
    StoredPassword("other");  // set by another program while the dialog is open
    SetEditText(pass, IDC_E_NEWPASS, L"s3cret");
    SetEditText(pass, IDC_E_NEWPASS2, L"s3cret");
    Click(pass, IDOK);
    ExpectMessage(host, pass, sandbox.GetIni(L"Setting.ini", L"Setting", L"S_MSG_PASS_INCORRECT"),
                  Text(pass));
    host.Settle();
    EXPECT_TRUE(::IsWindowVisible(pass));
    EXPECT_TRUE(StoredPasswords().empty());
    EXPECT_EQ(sandbox.Engine().password, "other");
    host.Kill();
}

TEST_F(PasswordTest, PasswordIsStoredInTheAnsiCodePage) {
    const std::wstring typed = L"p\u00E4\u20AC\u03A9";  // a-umlaut, euro sign, omega
    char expected[16] = {};
    ::WideCharToMultiByte(CP_ACP, 0, typed.c_str(), -1, expected, sizeof expected, nullptr,
                          nullptr);
    HostProcess host(sandbox);
    HWND pass = OpenPasswordDialog(host);
    ASSERT_NE(pass, nullptr);
    SetEditText(pass, IDC_E_NEWPASS, typed);
    SetEditText(pass, IDC_E_NEWPASS2, typed);
    Click(pass, IDOK);
    ExpectMessage(host, pass, Setting(L"S_MSG_PASS_SAVEOK"), Text(pass));
    EXPECT_EQ(sandbox.Engine().password, std::string(expected));
    host.Kill();
}

// ---------------------------------------------------------------------------------------
// Cancelling

struct Cancellation {
    const char* name;
    void (*give)(HWND pass);
};

void PrintTo(const Cancellation& cancel, std::ostream* out) {
    *out << cancel.name;
}

const Cancellation kCancellations[] = {
    {"CancelButton", [](HWND pass) { Click(pass, IDCANCEL); }},
    {"Escape",
     [](HWND pass) {
         BringToFront(pass);
         PressKey(VK_ESCAPE);
     }},
};

class CancelPasswordTest : public PasswordTest,
                           public ::testing::WithParamInterface<Cancellation> {};

TEST_P(CancelPasswordTest, ClearsTheBoxAndStoresNothing) {
    HostProcess host(sandbox);
    HWND pass = OpenPasswordDialog(host);
    ASSERT_NE(pass, nullptr);
    SetEditText(pass, IDC_E_NEWPASS, L"s3cret");
    SetEditText(pass, IDC_E_NEWPASS2, L"s3cret");
    GetParam().give(pass);
    EXPECT_TRUE(WaitUntil([&] { return FindPasswordDialog(host) == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return !Checked(dialog, IDC_PASSWORD); }, 5000));
    host.Settle();
    EXPECT_EQ(host.FindMessageBox(), nullptr);
    EXPECT_TRUE(StoredPasswords().empty());
    EXPECT_EQ(sandbox.Engine().password, "");
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    host.Kill();
}

INSTANTIATE_TEST_SUITE_P(Ways, CancelPasswordTest, ::testing::ValuesIn(kCancellations),
                         [](const ::testing::TestParamInfo<Cancellation>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------------------
// Removing the password

struct Removal {
    const char* name;
    int answer;
    DWORD failure;  // forced result of SetCvxPassWord, 0 for none
};

void PrintTo(const Removal& removal, std::ostream* out) {
    *out << removal.name;
}

const Removal kRemovals[] = {
    {"Ok", IDOK, 0},
    {"OkButTheEngineFails", IDOK, 5},
    {"Cancel", IDCANCEL, 0},
};

class RemovePasswordTest : public PasswordTest, public ::testing::WithParamInterface<Removal> {};

TEST_P(RemovePasswordTest, ClearingTheBoxAsksFirst) {
    const Removal& removal = GetParam();
    StoredPassword("s3cret");
    if (removal.failure) sandbox.FailEngine("SetCvxPassWord", removal.failure);
    HostProcess host(sandbox);
    ASSERT_NE(OpenSettings(host), nullptr);
    ASSERT_TRUE(Checked(dialog, IDC_PASSWORD));

    Click(dialog, IDC_PASSWORD);
    ExpectMessage(host, dialog, Setting(L"DISABLE_PASS"), Setting(L"STATIC_TITLE"), removal.answer);
    const std::wstring trace =
        L"] SetCvxPassWord ret:" + std::to_wstring(removal.failure) + L"\r\n";
    if (removal.answer == IDOK) {
        EXPECT_TRUE(WaitUntil([&] { return !LogLinesWith(sandbox, trace).empty(); }));
        host.Settle();
        EXPECT_EQ(StoredPasswords(), std::vector<std::string>{""});
        EXPECT_EQ(LogLinesWith(sandbox, trace).size(), 1u);
        EXPECT_FALSE(Checked(dialog, IDC_PASSWORD));
        EXPECT_EQ(sandbox.Engine().password, removal.failure ? "s3cret" : "");
    } else {
        EXPECT_TRUE(WaitUntil([&] { return Checked(dialog, IDC_PASSWORD); }, 5000));
        host.Settle();
        EXPECT_TRUE(StoredPasswords().empty());
        EXPECT_EQ(sandbox.Engine().password, "s3cret");
    }
    EXPECT_EQ(FindPasswordDialog(host), nullptr);
    host.Kill();
}

INSTANTIATE_TEST_SUITE_P(Answers, RemovePasswordTest, ::testing::ValuesIn(kRemovals),
                         [](const ::testing::TestParamInfo<Removal>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------------------
// Eight characters at most

class PasswordFieldTest : public PasswordTest {
protected:
    void SetUp() override {
        host = std::make_unique<HostProcess>(sandbox);
        pass = OpenPasswordDialog(*host);
        ASSERT_NE(pass, nullptr);
    }
    void TearDown() override { host->Kill(); }

    // The balloon shows with the hint and goes away by itself.
    void ExpectHint() {
        HWND tip = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (tip = FindToolTip(*host)) != nullptr; }, 3000))
            << "no hint";
        EXPECT_EQ(Text(tip), sandbox.GetIni(L"Setting.ini", L"Setting", L"S_MAXCHAR"));
        EXPECT_TRUE(WaitUntil([&] { return FindToolTip(*host) == nullptr; }, kHintUpperBoundMs))
            << "the hint stayed";
    }

    std::unique_ptr<HostProcess> host;
    HWND pass = nullptr;
};

TEST_F(PasswordFieldTest, NinthTypedCharacterIsRefusedWithTheHintInEveryField) {
    for (int id : {IDC_E_NEWPASS, IDC_E_NEWPASS2}) {
        SCOPED_TRACE(id);
        FocusField(pass, id);
        TypeText(L"12345678");
        host->Settle();
        ASSERT_EQ(Text(pass, id), L"12345678");
        EXPECT_EQ(FindToolTip(*host), nullptr) << "hint before the limit";
        TypeText(L"9");
        host->Settle();
        EXPECT_EQ(Text(pass, id), L"12345678");
        ExpectHint();
    }
    // What is stored is what the fields hold.
    Click(pass, IDOK);
    ExpectMessage(*host, pass, Setting(L"S_MSG_PASS_SAVEOK"), Text(pass));
    EXPECT_EQ(StoredPasswords(), std::vector<std::string>{"12345678"});
}

TEST_F(PasswordFieldTest, BackspaceAtTheLimitMakesRoomForOneMore) {
    FocusField(pass, IDC_E_NEWPASS);
    TypeText(L"12345678");
    PressKey(VK_BACK);
    host->Settle();
    EXPECT_EQ(Text(pass, IDC_E_NEWPASS), L"1234567");
    TypeText(L"x");
    host->Settle();
    EXPECT_EQ(Text(pass, IDC_E_NEWPASS), L"1234567x");
    EXPECT_EQ(FindToolTip(*host), nullptr);
    TypeText(L"y");
    host->Settle();
    EXPECT_EQ(Text(pass, IDC_E_NEWPASS), L"1234567x");
    ExpectHint();
}

TEST_F(PasswordFieldTest, FullSelectionAtTheLimitStillRefusesACharacter) {
    FocusField(pass, IDC_E_NEWPASS);
    TypeText(L"12345678");
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(Control(pass, IDC_E_NEWPASS), EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000,
                          &ignored);
    TypeText(L"z");
    host->Settle();
    EXPECT_EQ(Text(pass, IDC_E_NEWPASS), L"12345678");
    ExpectHint();
}

struct Paste {
    const char* name;
    void (*give)(HWND field);
};

void PrintTo(const Paste& paste, std::ostream* out) {
    *out << paste.name;
}

const Paste kPastes[] = {
    {"PasteMessage",
     [](HWND field) {
         DWORD_PTR ignored = 0;
         ::SendMessageTimeoutW(field, WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
     }},
    {"CtrlV", [](HWND) { PressKey('V', {VK_CONTROL}); }},
};

class PasswordPasteTest : public PasswordFieldTest, public ::testing::WithParamInterface<Paste> {};

TEST_P(PasswordPasteTest, PastedTextIsCappedAtEightWithTheHint) {
    // The clipboard's owner: a message-only window of the test, alive until the paste is done.
    HWND owner = ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const bool put = PutOnClipboard(owner, L"ABCDEFGHIJKL");
    if (!put) ::DestroyWindow(owner);
    ASSERT_TRUE(put);
    FocusField(pass, IDC_E_NEWPASS);
    TypeText(L"12");
    host->Settle();
    GetParam().give(Control(pass, IDC_E_NEWPASS));
    EXPECT_TRUE(WaitUntil([&] { return Text(pass, IDC_E_NEWPASS) != L"12"; }, 3000));
    host->Settle();
    EXPECT_EQ(Text(pass, IDC_E_NEWPASS), L"12ABCDEF");
    ExpectHint();
    ::DestroyWindow(owner);
}

INSTANTIATE_TEST_SUITE_P(Ways, PasswordPasteTest, ::testing::ValuesIn(kPastes),
                         [](const ::testing::TestParamInfo<Paste>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
