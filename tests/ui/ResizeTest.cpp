// Resizing the protected area through the resize link: the question, a pending restore at
// start-up cancelled before the tool runs, the tool run with the dialog hidden, the registry
// flag it leaves, and the dialog shown again with the new usage figures.
//
// The flag HKCR\Merrowfield\InitNvOk belongs to the whole Wine prefix; the tests of this
// program run one at a time and each starts with the value removed.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "DialogProbe.h"
#include "HostProcess.h"
#include "Sandbox.h"
#include "SimState.h"
#include "Ui.h"
#include "resource.h"

using namespace testsupport;

namespace {

constexpr wchar_t kToolWindowClass[] = L"CorvianexTessinitProgress";

class ResizeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sim::WriteInitNvOk(sim::kFlagAbsent), 0u);
        SetTool(L"TRUE", 200);
    }

    void SetTool(const std::wstring& flag, DWORD delayMs) const {
        sandbox.UpdateEngine([&](sim::EngineState& state) {
            state.tessinit.initNvOk = flag;
            state.tessinit.delayMs = delayMs;
        });
    }

    void ArmRestore() const {
        sandbox.UpdateEngine([](sim::EngineState& state) {
            state.snapshotSetting.bAutoRestore = 1;
            state.bootRestore.armed = true;
            state.bootEntry.present = true;
            state.bootEntry.title = "Corvianex Recovery Environment";
        });
    }

    // Opens the dialog, clicks the resize link and answers the question.
    // `beforeAnswer` runs while the question is up.
    void OpenAndAnswer(HostProcess& host, int button,
                       const std::function<void()>& beforeAnswer = nullptr) {
        dialog = host.WaitForSettings();
        ASSERT_NE(dialog, nullptr);
        const RECT link = RectIn(dialog, IDC_STATIC_RESIZE);
        BringToFront(dialog);
        MouseClick(ClientToScreenPoint(dialog, (link.left + link.right) / 2,
                                       (link.top + link.bottom) / 2));
        HWND question = WaitForMessageDialog(host);
        ASSERT_NE(question, nullptr) << "no question";
        ASSERT_TRUE(Visible(question, IDC_MSG_YES));
        ForgetJournal(sandbox);
        if (beforeAnswer) beforeAnswer();
        Click(question, button);
        ASSERT_TRUE(WaitUntil([&] { return FindMessageDialog(host) != question; }));
    }

    // After the tool (when it can run): the failure report, when one is expected, is
    // confirmed; then the dialog must be back.
    void FinishResize(HostProcess& host, bool expectReport, bool toolRuns = true) {
        if (toolRuns) {
            ASSERT_TRUE(WaitUntil([&] { return !JournalOf(sandbox, "Tessinit").empty(); }, 20000))
                << "the tool did not run";
        }
        if (expectReport) {
            HWND report = WaitForMessageDialog(host, 20000);
            ASSERT_NE(report, nullptr) << "no failure report";
            EXPECT_EQ(Text(report, IDC_MSG_TEXT), Setting(L"SETTING", L"RESIZEMSGERROR"));
            EXPECT_EQ(Text(report, IDC_MSG_HEADING), shipped::kWrong);
            EXPECT_TRUE(Visible(report, IDC_MSG_OK));
            EXPECT_FALSE(Visible(report, IDC_MSG_YES));
            EXPECT_FALSE(Visible(report, IDC_MSG_NO));
            EXPECT_EQ(OwnerOf(report), dialog);
            Click(report, IDC_MSG_OK);
        }
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 20000))
            << "the dialog was not shown again";
        host.Settle();
        if (!expectReport) EXPECT_EQ(FindMessageDialog(host), nullptr) << "unexpected report";
        EXPECT_TRUE(host.Running());
    }

    std::wstring Setting(const wchar_t* section, const wchar_t* key) const {
        return sandbox.GetIni(L"Setting.ini", section, key);
    }

    std::wstring UsageLine(const std::wstring& used, const std::wstring& total) const {
        std::wstring line = Setting(L"SETTING", L"VP_FREESHOW");
        line.replace(line.find(L"[USED]"), 6, used);
        line.replace(line.find(L"[TOTAL]"), 7, total);
        return line;
    }

    Sandbox sandbox{SandboxName()};
    HWND dialog = nullptr;
};

TEST_F(ResizeTest, NoLeavesEverythingAsItWas) {
    ArmRestore();
    const sim::EngineState before = sandbox.Engine();
    HostProcess host(sandbox);
    OpenAndAnswer(host, IDC_MSG_NO);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(dialog) != FALSE; }, 5000));
    host.Settle();
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_TRUE(sandbox.Calls().empty()) << "the engine or the tool was called";
    EXPECT_EQ(sim::ReadInitNvOk(), sim::kFlagAbsent);
    EXPECT_EQ(sandbox.Engine(), before);
    host.Kill();
}

// ---------------------------------------------------------------------------------------
// The flag the tool leaves

struct Flag {
    const char* name;
    const wchar_t* value;  // as the tool writes it (or kFlagAbsent / kFlagDword)
    bool success;
};

void PrintTo(const Flag& flag, std::ostream* out) {
    *out << flag.name;
}

const Flag kFlags[] = {
    {"Upper", L"TRUE", true},          {"Lower", L"true", true},
    {"Mixed", L"TrUe", true},          {"TrailingBlank", L"TRUE ", false},
    {"False", L"FALSE", false},        {"Absent", sim::kFlagAbsent, false},
    {"Dword", sim::kFlagDword, false},
};

class ResizeFlagTest : public ResizeTest, public ::testing::WithParamInterface<Flag> {};

TEST_P(ResizeFlagTest, OnlyTrueInAnyCaseCountsAsSuccess) {
    const Flag& flag = GetParam();
    SetTool(flag.value, 200);
    HostProcess host(sandbox);
    OpenAndAnswer(host, IDC_MSG_YES);
    FinishResize(host, !flag.success);
    // The tool really left this value.
    EXPECT_EQ(sim::ReadInitNvOk(), flag.value);
    ASSERT_EQ(JournalOf(sandbox, "Tessinit").size(), 1u);
    host.Kill();
}

INSTANTIATE_TEST_SUITE_P(Flags, ResizeFlagTest, ::testing::ValuesIn(kFlags),
                         [](const ::testing::TestParamInfo<Flag>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------------------
// Restore at start-up

TEST_F(ResizeTest, ArmedRestoreIsCancelledBeforeTheToolRunsAndStaysInTheSettings) {
    ArmRestore();
    HostProcess host(sandbox);
    OpenAndAnswer(host, IDC_MSG_YES);
    FinishResize(host, false);

    const auto calls = sandbox.Calls();
    const size_t clear = IndexOf(calls, "ClearBootRestore");
    const size_t entry = IndexOf(calls, "SetBootEntry");
    const size_t tool = IndexOf(calls, "Tessinit");
    ASSERT_LT(tool, calls.size()) << "the tool did not run";
    EXPECT_LT(IndexOf(calls, "GetSnapshotSetting"), clear);
    EXPECT_LT(clear, entry);
    EXPECT_LT(entry, tool);
    const auto entries = JournalOf(sandbox, "SetBootEntry");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Number("action"), 0u);

    const sim::EngineState engine = sandbox.Engine();
    EXPECT_FALSE(engine.bootRestore.armed);
    EXPECT_FALSE(engine.bootEntry.present);
    EXPECT_EQ(engine.snapshotSetting.bAutoRestore, 1u) << "the stored settings were changed";
    host.Kill();
}

TEST_F(ResizeTest, WithoutRestoreTheEngineIsOnlyRead) {
    HostProcess host(sandbox);
    OpenAndAnswer(host, IDC_MSG_YES);
    FinishResize(host, false);
    const auto calls = sandbox.Calls();
    ASSERT_LT(IndexOf(calls, "Tessinit"), calls.size()) << "the tool did not run";
    for (const auto& call : calls) {
        EXPECT_TRUE(call.rfind("Get", 0) == 0 || call == "Tessinit") << call;
    }
    host.Kill();
}

TEST_F(ResizeTest, UnreadableSettingsAreLoggedAndTheToolIsNotRun) {
    ArmRestore();
    HostProcess host(sandbox);
    OpenAndAnswer(host, IDC_MSG_YES, [&] { sandbox.FailEngine("GetSnapshotSetting", 31); });
    EXPECT_TRUE(WaitUntil([&] { return !LogLinesWith(sandbox, L"Error = 31 ").empty(); }));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(dialog) != FALSE; }, 5000));
    host.Settle();
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_EQ(sandbox.Calls(), std::vector<std::string>{"GetSnapshotSetting"});
    EXPECT_EQ(FindMessageDialog(host), nullptr);
    EXPECT_TRUE(sandbox.Engine().bootRestore.armed);
    host.Kill();
}

// ---------------------------------------------------------------------------------------
// The tool run

TEST_F(ResizeTest, DialogIsHiddenWhileTheToolRunsAndReturnsWithTheNewUsage) {
    SetTool(L"TRUE", 1500);
    sandbox.UpdateEngine([](sim::EngineState& state) {
        state.tessinit.newTotal = 4194304000u;  // 4000 after the module's division by 2^20
        state.tessinit.newFree = 1048576000u;   // 1000
    });
    HostProcess host(sandbox);
    OpenAndAnswer(host, IDC_MSG_YES);
    EXPECT_EQ(Text(dialog, IDC_STATIC_SZ_SHOW), UsageLine(L"1247.250", L"3200.000"));

    HWND tool = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (tool = ::FindWindowW(kToolWindowClass, nullptr)); }))
        << "the tool's window did not show";
    EXPECT_FALSE(::IsWindowVisible(dialog)) << "the dialog stayed up while the tool ran";
    FinishResize(host, false);
    EXPECT_EQ(Text(dialog, IDC_STATIC_SZ_SHOW), UsageLine(L"3000.000", L"4000.000"));

    // The tool ran from the product folder with " -RESIZE", and the log says so.
    const std::wstring dir = sandbox.Dir();
    const auto runs = JournalOf(sandbox, "Tessinit");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].Text("commandLine"), std::wstring(L" -RESIZE"));
    EXPECT_EQ(runs[0].Text("folder"), dir);
    EXPECT_EQ(
        LogLinesWith(sandbox, L"] app =" + dir + L"\\Tessinit.exe,directory = " + dir + L"\r\n")
            .size(),
        1u);
    host.Kill();
}

TEST_F(ResizeTest, MissingToolIsReportedAndLogged) {
    sandbox.RemoveFile(L"Tessinit.exe");
    HostProcess host(sandbox);
    OpenAndAnswer(host, IDC_MSG_YES);
    FinishResize(host, true, false);
    EXPECT_TRUE(JournalOf(sandbox, "Tessinit").empty());
    // The start failed with "file not found".
    EXPECT_EQ(LogLinesWith(sandbox, L"Error = 2 ").size(), 1u);
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    host.Kill();
}

}  // namespace
