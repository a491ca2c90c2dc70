// The master switch of protection (check box 1038): switching on at once, switching off after
// the platform's confirmation, each behind the waiting box; what the engine and the boot
// library are asked, in which order; the auto-restore controls that follow the switch; the
// skinned error report when the engine refuses; and quick repeated clicks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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
constexpr DWORD kSlowMs = 2000;  // long enough to see the waiting box, never a correctness wait
const int kRestoreControls[] = {IDC_CHECK_AR, IDC_COMBO_AR, IDC_STATIC_TOTHELATEST};

class ProtectionSwitchTest : public ::testing::Test {
protected:
    // Engine state before the dialog opens: protection on or off, restore at start-up armed
    // (with its boot entry) or not.
    void StartWith(bool protectOn, bool restoreArmed) {
        sandbox.UpdateEngine([&](sim::EngineState& state) {
            state.protectOn = protectOn;
            state.snapshotSetting.bAutoRestore = restoreArmed ? 1 : 0;
            state.bootRestore.armed = restoreArmed;
            state.bootEntry.present = restoreArmed;
            state.bootEntry.title = restoreArmed ? "Corvianex Recovery Environment" : "";
        });
    }

    HWND Open(HostProcess& host) {
        dialog = host.WaitForSettings();
        ForgetJournal(sandbox);  // the opening's reads are not what these tests look at
        return dialog;
    }

    std::wstring Setting(const wchar_t* section, const wchar_t* key) const {
        return sandbox.GetIni(L"Setting.ini", section, key);
    }

    void ExpectRestoreControlsEnabled(bool enabled) const {
        for (int id : kRestoreControls)
            EXPECT_EQ(Enabled(dialog, id), enabled) << "control " << id;
    }

    // The confirmation before switching off: text, caption and owner; then answered.
    void AnswerConfirmation(HostProcess& host, int button) {
        HWND box = host.WaitForMessageBox();
        ASSERT_NE(box, nullptr) << "no confirmation";
        EXPECT_EQ(Text(box, 0xFFFF), Setting(L"SETTING", L"DISABLE_CP_CONFIRM"));
        EXPECT_EQ(Text(box), Text(dialog));
        EXPECT_EQ(OwnerOf(box), dialog);
        EXPECT_TRUE(sandbox.Calls().empty()) << "the engine was called before the answer";
        Click(box, button);
        ASSERT_TRUE(WaitUntil([&] { return host.FindMessageBox() == nullptr; }));
    }

    // Waits for the worker's last engine call, then for the dialog to handle what it posted.
    bool WaitForCall(HostProcess& host, const std::string& op) {
        const bool seen = WaitUntil([&] { return !JournalOf(sandbox, op).empty(); }, 15000);
        host.Settle();
        return seen;
    }

    Sandbox sandbox{SandboxName()};
    HWND dialog = nullptr;
};

// The waiting box's line: the configured text followed by one to three dots.
void ExpectWaitingText(HWND box, const std::wstring& text) {
    const std::wstring shown = Text(box, IDC_STATIC_WAIT);
    ASSERT_EQ(shown.compare(0, text.size(), text), 0)
        << "shown: " << std::string(shown.begin(), shown.end());
    const std::wstring dots = shown.substr(text.size());
    EXPECT_TRUE(dots.size() >= 1 && dots.size() <= 3 &&
                dots.find_first_not_of(L'.') == std::wstring::npos);
}

std::vector<std::string> CallsExcept(const Sandbox& sandbox, const std::string& op) {
    std::vector<std::string> calls = sandbox.Calls();
    calls.erase(std::remove(calls.begin(), calls.end(), op), calls.end());
    return calls;
}

std::vector<DWORD> BootEntryActions(const Sandbox& sandbox) {
    std::vector<DWORD> actions;
    for (const auto& entry : JournalOf(sandbox, "SetBootEntry")) {
        actions.push_back(entry.Number("action").value_or(99));
        EXPECT_EQ(entry.Ansi("title").value_or(""), "Corvianex Recovery Environment");
    }
    return actions;
}

// ---------------------------------------------------------------------------------------
// Switching on

class SwitchOnTest : public ProtectionSwitchTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SwitchOnTest, RunsBehindTheWaitingBoxAndSetsTheBootEntryOnlyWhenRestoreIsArmed) {
    const bool armed = GetParam();
    StartWith(false, armed);
    sandbox.DelayEngine("EnableProtect", kSlowMs);
    HostProcess host(sandbox);
    ASSERT_NE(Open(host), nullptr);
    ASSERT_FALSE(Checked(dialog, IDC_CHECK_PROTECT));
    ExpectRestoreControlsEnabled(false);

    Click(dialog, IDC_CHECK_PROTECT);
    HWND waiting = host.WaitForDialogWith(IDC_STATIC_WAIT, 5000);
    ASSERT_NE(waiting, nullptr) << "no waiting box";
    ExpectWaitingText(waiting, Setting(L"Setting", L"IDC_WAIT_DLG"));
    // Enabled at the click, before the engine has answered; the dialog waits modally.
    EXPECT_TRUE(JournalOf(sandbox, "EnableProtect").empty());
    ExpectRestoreControlsEnabled(true);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_PROTECT));
    EXPECT_FALSE(::IsWindowEnabled(dialog));

    ASSERT_TRUE(WaitUntil([&] { return FindWaitingBox(host) == nullptr; }, 15000));
    ASSERT_TRUE(WaitForCall(host, armed ? "SetBootEntry" : "GetSnapshotSetting"));
    std::vector<std::string> expected = {"EnableProtect", "GetSnapshotSetting"};
    if (armed) expected.push_back("SetBootEntry");
    EXPECT_EQ(sandbox.Calls(), expected);
    if (armed) EXPECT_EQ(BootEntryActions(sandbox), std::vector<DWORD>{1});

    const sim::EngineState engine = sandbox.Engine();
    EXPECT_TRUE(engine.protectOn);
    EXPECT_EQ(engine.bootEntry.present, armed);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_PROTECT));
    ExpectRestoreControlsEnabled(true);
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    EXPECT_EQ(FindMessageDialog(host), nullptr);
    EXPECT_TRUE(LogLinesWith(sandbox, L"Error = ").empty());
    host.Kill();
}

INSTANTIATE_TEST_SUITE_P(Restore, SwitchOnTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Armed" : "Off");
                         });

// ---------------------------------------------------------------------------------------
// Switching off

TEST_F(ProtectionSwitchTest, SwitchOffAfterOkClearsBootEntryAndRestoreBehindTheWaitingBox) {
    StartWith(true, true);
    sandbox.DelayEngine("DisableProtect", kSlowMs);
    HostProcess host(sandbox);
    ASSERT_NE(Open(host), nullptr);
    ASSERT_TRUE(Checked(dialog, IDC_CHECK_PROTECT));
    ExpectRestoreControlsEnabled(true);
    EXPECT_EQ(Text(dialog), shipped::kTitle);

    Click(dialog, IDC_CHECK_PROTECT);
    AnswerConfirmation(host, IDOK);
    HWND waiting = host.WaitForDialogWith(IDC_STATIC_WAIT, 5000);
    ASSERT_NE(waiting, nullptr) << "no waiting box";
    ExpectWaitingText(waiting, Setting(L"Setting", L"IDC_WAIT1_DLG"));
    ExpectRestoreControlsEnabled(false);

    ASSERT_TRUE(WaitUntil([&] { return FindWaitingBox(host) == nullptr; }, 15000));
    ASSERT_TRUE(WaitForCall(host, "ClearBootRestore"));
    EXPECT_EQ(sandbox.Calls(),
              (std::vector<std::string>{"DisableProtect", "SetBootEntry", "ClearBootRestore"}));
    EXPECT_EQ(BootEntryActions(sandbox), std::vector<DWORD>{0});
    const sim::EngineState engine = sandbox.Engine();
    EXPECT_FALSE(engine.protectOn);
    EXPECT_FALSE(engine.bootEntry.present);
    EXPECT_FALSE(engine.bootRestore.armed);
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_PROTECT));
    ExpectRestoreControlsEnabled(false);
    EXPECT_EQ(FindMessageDialog(host), nullptr);
    host.Kill();
}

TEST_F(ProtectionSwitchTest, SwitchOffCancelledTicksTheBoxAgainAndCallsNothing) {
    StartWith(true, false);
    HostProcess host(sandbox);
    ASSERT_NE(Open(host), nullptr);
    ExpectRestoreControlsEnabled(true);

    Click(dialog, IDC_CHECK_PROTECT);
    AnswerConfirmation(host, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return Checked(dialog, IDC_CHECK_PROTECT); }, 5000));
    host.Settle();
    EXPECT_EQ(FindWaitingBox(host), nullptr);
    EXPECT_TRUE(sandbox.Calls().empty());
    ExpectRestoreControlsEnabled(true);
    EXPECT_TRUE(sandbox.Engine().protectOn);
    host.Kill();
}

// ---------------------------------------------------------------------------------------
// The engine refuses

TEST_F(ProtectionSwitchTest, FailedSwitchOnIsReportedOnceAfterTheWaitingBoxAndLogged) {
    StartWith(false, true);
    sandbox.DelayEngine("EnableProtect", kSlowMs);
    sandbox.FailEngine("EnableProtect", kEngineCode);
    HostProcess host(sandbox);
    ASSERT_NE(Open(host), nullptr);

    Click(dialog, IDC_CHECK_PROTECT);
    ASSERT_NE(host.WaitForDialogWith(IDC_STATIC_WAIT, 5000), nullptr) << "no waiting box";
    HWND report = WaitForMessageDialog(host);
    ASSERT_NE(report, nullptr) << "no error report";
    EXPECT_EQ(FindWaitingBox(host), nullptr) << "the report came before the waiting box closed";
    EXPECT_EQ(Text(report, IDC_MSG_TEXT), Setting(L"ERROR_STRING", L"IDS_ENABLE_ERROR"));
    EXPECT_TRUE(Visible(report, IDC_MSG_OK));
    EXPECT_EQ(OwnerOf(report), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    // The code goes to the log once the user has seen the message.
    EXPECT_TRUE(LogLinesWith(sandbox, L"Error = 1234 ").empty());

    Click(report, IDC_MSG_OK);
    EXPECT_TRUE(WaitUntil([&] { return !LogLinesWith(sandbox, L"Error = 1234 ").empty(); }));
    ASSERT_TRUE(WaitForCall(host, "SetBootEntry"));
    EXPECT_EQ(LogLinesWith(sandbox, L"Error = 1234 ").size(), 1u);
    EXPECT_EQ(FindMessageDialog(host), nullptr) << "reported twice";

    EXPECT_EQ(CallsExcept(sandbox, "GetProductInfo"),
              (std::vector<std::string>{"EnableProtect", "GetSnapshotSetting", "SetBootEntry"}));
    const auto enable = JournalOf(sandbox, "EnableProtect");
    ASSERT_EQ(enable.size(), 1u);
    EXPECT_EQ(enable[0].result, kEngineCode);
    // Restore at start-up is armed: the boot entry is set all the same.
    EXPECT_EQ(BootEntryActions(sandbox), std::vector<DWORD>{1});
    EXPECT_TRUE(sandbox.Engine().bootEntry.present);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_PROTECT));
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    host.Kill();
}

TEST_F(ProtectionSwitchTest, FailedSwitchOffIsReportedAndStillClearsBootEntryAndRestore) {
    StartWith(true, true);
    sandbox.FailEngine("DisableProtect", kEngineCode);
    HostProcess host(sandbox);
    ASSERT_NE(Open(host), nullptr);

    Click(dialog, IDC_CHECK_PROTECT);
    AnswerConfirmation(host, IDOK);
    HWND report = WaitForMessageDialog(host);
    ASSERT_NE(report, nullptr) << "no error report";
    EXPECT_EQ(FindWaitingBox(host), nullptr);
    EXPECT_EQ(Text(report, IDC_MSG_TEXT), Setting(L"ERROR_STRING", L"IDS_DISABLE_ERROR"));
    EXPECT_EQ(OwnerOf(report), dialog);

    Click(report, IDC_MSG_OK);
    EXPECT_TRUE(WaitUntil([&] { return !LogLinesWith(sandbox, L"Error = 1234 ").empty(); }));
    host.Settle();
    EXPECT_EQ(LogLinesWith(sandbox, L"Error = 1234 ").size(), 1u);
    EXPECT_EQ(FindMessageDialog(host), nullptr) << "reported twice";
    // The report itself reads the product's caption.
    EXPECT_EQ(CallsExcept(sandbox, "GetProductInfo"),
              (std::vector<std::string>{"DisableProtect", "SetBootEntry", "ClearBootRestore"}));
    EXPECT_EQ(BootEntryActions(sandbox), std::vector<DWORD>{0});
    const sim::EngineState engine = sandbox.Engine();
    EXPECT_TRUE(engine.protectOn);  // the engine refused
    EXPECT_FALSE(engine.bootEntry.present);
    EXPECT_FALSE(engine.bootRestore.armed);
    // The box keeps the user's choice.
    EXPECT_FALSE(Checked(dialog, IDC_CHECK_PROTECT));
    ExpectRestoreControlsEnabled(false);
    host.Kill();
}

TEST_F(ProtectionSwitchTest, UnreadableSettingsAfterSwitchingOnAreLoggedAndLeaveTheBootEntry) {
    StartWith(false, true);
    sandbox.UpdateEngine([](sim::EngineState& state) { state.bootEntry.present = false; });
    HostProcess host(sandbox);
    ASSERT_NE(Open(host), nullptr);
    sandbox.FailEngine("GetSnapshotSetting", 31);  // the opening has read it already

    Click(dialog, IDC_CHECK_PROTECT);
    EXPECT_TRUE(WaitUntil([&] { return !LogLinesWith(sandbox, L"Error = 31 ").empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return FindWaitingBox(host) == nullptr; }, 15000));
    host.Settle();
    EXPECT_EQ(sandbox.Calls(), (std::vector<std::string>{"EnableProtect", "GetSnapshotSetting"}));
    const sim::EngineState engine = sandbox.Engine();
    EXPECT_TRUE(engine.protectOn);
    EXPECT_FALSE(engine.bootEntry.present);
    EXPECT_EQ(FindMessageDialog(host), nullptr) << "switching on itself worked";
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_PROTECT));
    host.Kill();
}

// ---------------------------------------------------------------------------------------
// Two quick clicks

struct QuickClicks {
    const char* name;
    void (*give)(HWND dialog);
};

void PrintTo(const QuickClicks& clicks, std::ostream* out) {
    *out << clicks.name;
}

const QuickClicks kQuickClicks[] = {
    // Both clicks queued before the first is handled.
    {"Posted",
     [](HWND dialog) {
         Click(dialog, IDC_CHECK_PROTECT);
         Click(dialog, IDC_CHECK_PROTECT);
     }},
    // A real double click with the mouse.
    {"Mouse",
     [](HWND dialog) {
         const RECT box = RectIn(dialog, IDC_CHECK_PROTECT);
         const POINT at = ClientToScreenPoint(dialog, box.left + 7, (box.top + box.bottom) / 2);
         BringToFront(dialog);
         MouseClick(at);
         MouseClick(at);
     }},
};

class QuickClicksTest : public ProtectionSwitchTest,
                        public ::testing::WithParamInterface<QuickClicks> {};

TEST_P(QuickClicksTest, NeverRunTwoSwitchesAtOnceAndLeaveAConsistentState) {
    StartWith(false, false);
    sandbox.DelayEngine("EnableProtect", kSlowMs);
    HostProcess host(sandbox);
    ASSERT_NE(Open(host), nullptr);

    GetParam().give(dialog);
    ASSERT_TRUE(WaitForCall(host, "GetSnapshotSetting"));
    ASSERT_TRUE(WaitUntil([&] { return FindWaitingBox(host) == nullptr; }, 15000));
    host.Settle();
    // A second click taken as "switch off" would have asked for confirmation.
    EXPECT_EQ(host.FindMessageBox(), nullptr);
    EXPECT_EQ(sandbox.Calls(), (std::vector<std::string>{"EnableProtect", "GetSnapshotSetting"}));
    EXPECT_TRUE(sandbox.Engine().protectOn);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_PROTECT));
    ExpectRestoreControlsEnabled(true);
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    host.Kill();
}

INSTANTIATE_TEST_SUITE_P(Clicks, QuickClicksTest, ::testing::ValuesIn(kQuickClicks),
                         [](const ::testing::TestParamInfo<QuickClicks>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
