// Password protection: the check box opens the password dialog (or removes the password after
// a question), the dialog's texts and places, its checks and messages, what the engine stores,
// and the eight-character fields with their balloon hint. Engine failures are the fault
// matrix's.
#include <cstring>

#include "Session.h"

using namespace testsupport;

namespace {

// Opens the settings over `engine` and ticks the password box; the password dialog is up.
HWND OpenPasswordDialog(Session& session, HWND& dialog, const std::string& engine = "",
                        const std::vector<IniValue>& ini = {}) {
    dialog = session.Open(engine, ini);
    if (!dialog) return nullptr;
    session.ForgetCalls();
    Click(dialog, IDC_PASSWORD);
    return session.host->WaitForDialogWith(IDC_E_NEWPASS);
}

// Gives a field the keyboard focus the way a user does: a click into it.
void FocusField(HWND pass, int id) {
    BringToFront(pass);
    const RECT rc = RectIn(pass, id);
    MouseClick(ClientToScreenPoint(pass, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(pass) == Control(pass, id); }, 3000)) << "no focus";
}

// The message the OK handling or the removal shows: text, caption and owner; then answered.
void ExpectMessage(Session& session, HWND owner, const std::wstring& text,
                   const std::wstring& caption, int answer = IDOK) {
    HWND box = session.host->WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_EQ(Text(box), caption);
    EXPECT_EQ(OwnerOf(box), owner);
    AnswerMessageBox(*session.host, text, answer);
}

std::vector<std::string> StoredPasswords(const Session& session) {
    std::vector<std::string> stored;
    for (const auto& entry : session.Entries("SetCvxPassWord"))
        stored.push_back(entry.Ansi("password").value_or("<not ANSI>"));
    return stored;
}

TEST(PasswordTest, TickingOpensTheDialogTextedAndPlacedFromSettingIni) {
    Session session;
    HWND dialog = nullptr;
    HWND pass =
        OpenPasswordDialog(session, dialog, "product=Vaultkeeper",
                           {{L"SETTING", L"TITLE", L"[PRODUCTNAME] - [PRODUCTNAME] password"}});
    ASSERT_NE(pass, nullptr) << "no password dialog";
    EXPECT_EQ(Text(pass), L"Vaultkeeper - Vaultkeeper password");
    const struct {
        int id;
        const wchar_t* key;
        const char* position;  // the shipped "POSITION" key
    } controls[] = {{IDC_S_NEWPASS, L"S_NEWPASS", "20,22,150,18"},
                    {IDC_E_NEWPASS, nullptr, "176,18,176,22"},
                    {IDC_S_NEWPASS2, L"S_NEWPASS2", "20,56,150,18"},
                    {IDC_E_NEWPASS2, nullptr, "176,52,176,22"},
                    {IDC_S_FORGETPASS, L"S_FORGETPASS", "20,92,332,40"},
                    {IDOK, L"S_PASSOK", "176,150,84,26"},
                    {IDCANCEL, L"S_PASSCANCEL", "268,150,84,26"}};
    for (const auto& c : controls) {
        if (c.key) {
            EXPECT_EQ(Text(pass, c.id), session.Setting(L"SETTING", c.key)) << c.id;
        }
        EXPECT_EQ(Position(pass, c.id), c.position) << c.id;
    }
    EXPECT_EQ(Text(pass, IDC_S_CURPASS), session.Setting(L"SETTING", L"S_CURPASS"));
    EXPECT_FALSE(Visible(pass, IDC_S_CURPASS) || Visible(pass, IDC_E_CURPASS));
    // 380 x 230 from "PASSDLG", centred on the settings dialog, which it is modal over.
    const RECT own = WindowRectOf(pass), under = WindowRectOf(dialog);
    EXPECT_EQ(own.right - own.left, 380);
    EXPECT_EQ(own.bottom - own.top, 230);
    EXPECT_NEAR((own.left + own.right) / 2, (under.left + under.right) / 2, 1);
    EXPECT_NEAR((own.top + own.bottom) / 2, (under.top + under.bottom) / 2, 1);
    EXPECT_EQ(OwnerOf(pass), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    ExpectControls(dialog, "password=on");
    EXPECT_TRUE(StoredPasswords(session).empty());
}

struct OkRow {
    const char* name;
    std::wstring typed, repeated;
    const wchar_t* messageKey;  // null: `message` as written
    std::wstring message;
    bool staticCaption;  // "STATIC_TITLE" as the caption, else the dialog's title
    std::string stored;  // what the engine holds afterwards
    bool closes;
    std::vector<IniValue> ini;
    void (*meanwhile)(Session&) = nullptr;  // while the dialog is open
};

// clang-format off
const OkRow kOkRows[] = {
    {"Different", L"s3cret", L"s3creT", L"S_MSG_PASS_DONOTMATCH", L"", false, "", false},
    {"BothEmpty", L"", L"", L"S_MSG_PASS_NULL", L"", true, "", false},
    {"RepeatEmpty", L"s3cret", L"", L"S_MSG_PASS_DONOTMATCH", L"", false, "", false},
    {"NewEmpty", L"", L"s3cret", L"S_MSG_PASS_DONOTMATCH", L"", false, "", false},
    // Set by another program while the dialog is open: not overwritten.
    {"SetMeanwhileElsewhere", L"s3cret", L"s3cret", L"S_MSG_PASS_INCORRECT", L"", false, "other", false, {}, [](Session& s) {s.sandbox.UpdateEngine([](sim::EngineState& e) {e.password = "other";});}},
    // The translator's failure text is a pattern for the code, never a printf format.
    {"HostileFailureText", L"s3cret", L"s3cret", nullptr, L"%s%s%n 1234", false, "", false, {{L"SETTING", L"S_MSG_PASS_SAVEFAIL", L"%s%s%n %d"}}, [](Session& s) {s.sandbox.FailEngine("SetCvxPassWord", 1234);}},
    // Stored in the ANSI code page.
    {"AnsiCodePage", L"p\u00E4\u20AC\u03A9", L"p\u00E4\u20AC\u03A9", L"S_MSG_PASS_SAVEOK", L"", false, "", true},
};
// clang-format on

TEST(PasswordTest, OkChecksTheFieldsAndStoresOnlyAnAcceptedPassword) {
    Session session;
    for (const OkRow& row : kOkRows) {
        SCOPED_TRACE(row.name);
        HWND dialog = nullptr;
        HWND pass = OpenPasswordDialog(session, dialog, "", row.ini);
        ASSERT_NE(pass, nullptr);
        if (row.meanwhile) row.meanwhile(session);
        SetEditText(pass, IDC_E_NEWPASS, row.typed);
        SetEditText(pass, IDC_E_NEWPASS2, row.repeated);
        Click(pass, IDOK);
        ExpectMessage(
            session, pass,
            row.messageKey ? session.Setting(L"Setting", row.messageKey) : row.message,
            row.staticCaption ? session.Setting(L"SETTING", L"STATIC_TITLE") : Text(pass));
        session.host->Settle();
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindow(pass) != row.closes; }, 5000))
            << (row.closes ? "the dialog stayed" : "the dialog closed");
        std::string stored = row.stored;
        if (row.closes) {
            char ansi[16] = {};
            ::WideCharToMultiByte(CP_ACP, 0, row.typed.c_str(), -1, ansi, sizeof ansi, nullptr,
                                  nullptr);
            stored = ansi;
            EXPECT_EQ(StoredPasswords(session), std::vector<std::string>{stored});
            ExpectControls(dialog, "password=on");
        } else {
            EXPECT_EQ(Text(pass, IDC_E_NEWPASS), row.typed);
        }
        EXPECT_EQ(session.sandbox.Engine().password, stored);
        if (::IsWindow(pass)) {
            Click(pass, IDCANCEL);
            EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(pass); }));
        }
        session.Close(dialog);
    }
}

// Typed with the keyboard, stored, and ticked again at the next opening.
TEST(PasswordTest, StoredPasswordKeepsTheBoxTickedAtTheNextOpening) {
    Session session;
    HWND dialog = nullptr;
    HWND pass = OpenPasswordDialog(session, dialog);
    ASSERT_NE(pass, nullptr);
    FocusField(pass, IDC_E_NEWPASS);
    TypeText(L"s3cret");
    FocusField(pass, IDC_E_NEWPASS2);
    TypeText(L"s3cret");
    Click(pass, IDOK);
    ExpectMessage(session, pass, session.Setting(L"Setting", L"S_MSG_PASS_SAVEOK"), Text(pass));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(pass); }));
    const auto stored = session.Entries("SetCvxPassWord");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].bytes, (std::vector<BYTE>{'s', '3', 'c', 'r', 'e', 't'}));
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    ExpectControls(dialog, "password=on");
    session.host->CloseSettings(dialog);
    dialog = session.host->OpenSettings();
    ASSERT_NE(dialog, nullptr);
    ExpectControls(dialog, "password=on");
    session.Close(dialog);
}

// Cancel and Escape clear the box and store nothing.
TEST(PasswordTest, CancellingClearsTheBoxAndStoresNothing) {
    Session session;
    for (const bool escape : {false, true}) {
        HWND dialog = nullptr;
        HWND pass = OpenPasswordDialog(session, dialog);
        ASSERT_NE(pass, nullptr);
        SetEditText(pass, IDC_E_NEWPASS, L"s3cret");
        SetEditText(pass, IDC_E_NEWPASS2, L"s3cret");
        if (escape) {
            BringToFront(pass);
            PressKey(VK_ESCAPE);
        } else {
            Click(pass, IDCANCEL);
        }
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(pass) && !Checked(dialog, IDC_PASSWORD); }));
        session.host->Settle();
        EXPECT_EQ(session.host->FindMessageBox(), nullptr);
        EXPECT_TRUE(StoredPasswords(session).empty());
        EXPECT_TRUE(::IsWindowEnabled(dialog));
        session.Close(dialog);
    }
}

// Clearing the box asks first; OK removes the password (and logs the engine's answer).
TEST(PasswordTest, ClearingTheBoxAsksFirst) {
    Session session;
    const struct {
        int answer;
        DWORD failure;
    } rows[] = {{IDOK, 0}, {IDOK, 5}, {IDCANCEL, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.answer * 10 + r.failure);
        HWND dialog = session.Open("password=s3cret");
        ASSERT_NE(dialog, nullptr);
        session.ForgetCalls();
        if (r.failure) session.sandbox.FailEngine("SetCvxPassWord", r.failure);
        Click(dialog, IDC_PASSWORD);
        ExpectMessage(session, dialog, session.Setting(L"SETTING", L"DISABLE_PASS"),
                      session.Setting(L"SETTING", L"STATIC_TITLE"), r.answer);
        const bool removed = r.answer == IDOK;
        EXPECT_TRUE(WaitUntil([&] { return Checked(dialog, IDC_PASSWORD) != removed; }));
        if (removed) {
            const std::wstring trace =
                L"] SetCvxPassWord ret:" + std::to_wstring(r.failure) + L"\r\n";
            EXPECT_TRUE(WaitUntil([&] { return !session.LogWith(trace).empty(); }));
            session.ExpectLog({trace});
        }
        session.host->Settle();
        EXPECT_EQ(StoredPasswords(session),
                  removed ? std::vector<std::string>{""} : std::vector<std::string>{});
        EXPECT_EQ(session.sandbox.Engine().password, removed && !r.failure ? "" : "s3cret");
        EXPECT_EQ(FindPasswordDialog(*session.host), nullptr);
        session.Close(dialog);
    }
}

// ---- Eight characters at most, with the hint ----------------------------------------------

// The balloon shows with the hint, its stem at the middle of the field's bottom edge (the
// balloon below the field, across its middle), and goes away by itself.
void ExpectHint(Session& session, HWND field) {
    HWND tip = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (tip = FindToolTip(*session.host)) != nullptr; }, 3000))
        << "no hint";
    EXPECT_EQ(Text(tip), session.Setting(L"Setting", L"S_MAXCHAR"));
    const RECT balloon = WindowRectOf(tip), under = WindowRectOf(field);
    const LONG middle = (under.left + under.right) / 2;
    EXPECT_GE(balloon.top, under.bottom - 1) << "the balloon covers the field";
    EXPECT_TRUE(balloon.left < middle && middle < balloon.right) << "not at the field's middle";
    EXPECT_TRUE(WaitUntil([&] { return FindToolTip(*session.host) == nullptr; }, 3000))
        << "the hint stayed";
}

bool PutOnClipboard(HWND owner, const std::wstring& text) {
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool put = false;
    if (void* target = memory ? ::GlobalLock(memory) : nullptr) {
        std::memcpy(target, text.c_str(), bytes);
        ::GlobalUnlock(memory);
        put = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!put && memory) ::GlobalFree(memory);
    ::CloseClipboard();
    return put;
}

TEST(PasswordTest, FieldsTakeEightCharactersAndHintAtTheNinth) {
    Session session;
    HWND dialog = nullptr;
    HWND pass = OpenPasswordDialog(session, dialog);
    ASSERT_NE(pass, nullptr);
    // Typed into the field that has the focus; the keys reach it when the host gets to them.
    const auto typedInto = [&](int id, const wchar_t* keys, const wchar_t* expected) {
        TypeText(keys);
        WaitUntil([&] { return Text(pass, id) == expected; }, 3000);
        EXPECT_EQ(Text(pass, id), expected) << Narrow(keys);
    };
    // A key refused at the limit: the hint shows that it arrived, and the text is unchanged.
    const auto refused = [&](int id, const wchar_t* key, const wchar_t* expected) {
        TypeText(key);
        ExpectHint(session, Control(pass, id));
        EXPECT_EQ(Text(pass, id), expected) << Narrow(key);
    };
    for (int id : {IDC_E_NEWPASS, IDC_E_NEWPASS2}) {
        SCOPED_TRACE(id);
        FocusField(pass, id);
        typedInto(id, L"12345678", L"12345678");
        EXPECT_EQ(FindToolTip(*session.host), nullptr) << "hint before the limit";
        refused(id, L"9", L"12345678");
    }
    // What is stored is what the fields hold.
    Click(pass, IDOK);
    ExpectMessage(session, pass, session.Setting(L"Setting", L"S_MSG_PASS_SAVEOK"), Text(pass));
    EXPECT_EQ(StoredPasswords(session), std::vector<std::string>{"12345678"});
    session.Close(dialog);

    // Backspace at the limit makes room for one more; a full selection still refuses one.
    pass = OpenPasswordDialog(session, dialog);
    ASSERT_NE(pass, nullptr);
    FocusField(pass, IDC_E_NEWPASS);
    typedInto(IDC_E_NEWPASS, L"12345678", L"12345678");
    PressKey(VK_BACK);
    typedInto(IDC_E_NEWPASS, L"x", L"1234567x");
    EXPECT_EQ(FindToolTip(*session.host), nullptr);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(Control(pass, IDC_E_NEWPASS), EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000,
                          &ignored);
    refused(IDC_E_NEWPASS, L"z", L"1234567x");

    // Pasted text is cut at eight characters, with the hint; by message and by Ctrl+V.
    HWND owner = ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   nullptr, nullptr);
    ASSERT_TRUE(PutOnClipboard(owner, L"ABCDEFGHIJKL"));
    for (const bool keys : {false, true}) {
        SetEditText(pass, IDC_E_NEWPASS, L"");
        typedInto(IDC_E_NEWPASS, L"12", L"12");
        if (keys) {
            PressKey('V', {VK_CONTROL});
        } else {
            ::SendMessageTimeoutW(Control(pass, IDC_E_NEWPASS), WM_PASTE, 0, 0, SMTO_ABORTIFHUNG,
                                  5000, &ignored);
        }
        EXPECT_TRUE(WaitUntil([&] { return Text(pass, IDC_E_NEWPASS) == L"12ABCDEF"; }, 3000));
        ExpectHint(session, Control(pass, IDC_E_NEWPASS));
    }
    ::DestroyWindow(owner);
    Click(pass, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(pass); }));
    session.Close(dialog);
}

}  // namespace
