// OK pressed while the protection switch's worker is still making its last engine calls (the
// waiting box has already closed): the save waits for those calls and then runs once; a
// second OK is ignored. The engine's journal shows the two workers one after the other.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

constexpr DWORD kSlowBootEntryMs = 2000;  // the switch's last call, after its waiting box

size_t CountOf(const std::vector<std::string>& calls, const std::string& op) {
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), op));
}

TEST(WorkerOverlapTest, OkDuringTheSwitchesLastCallsSavesOnceAfterThem) {
    Sandbox sandbox(SandboxName());
    sandbox.UpdateEngine([](sim::EngineState& s) {
        s.protectOn = false;
        s.snapshotSetting.bAutoRestore = 1;  // switching on then sets the boot entry
        s.snapshotSetting.bShowTrayIcon = 0;
    });
    sandbox.DelayEngine("SetBootEntry", kSlowBootEntryMs);
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    ForgetJournal(sandbox);

    Click(dialog, IDC_CHECK_PROTECT);
    // The waiting box has gone and the worker has read the settings: it now sits in the slow
    // boot-entry call.
    ASSERT_TRUE(WaitUntil([&] { return !JournalOf(sandbox, "GetSnapshotSetting").empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return FindWaitingBox(host) == nullptr; }));
    ASSERT_TRUE(JournalOf(sandbox, "SetBootEntry").empty()) << "the switch ended too early";
    Click(dialog, IDC_BTN_OK);
    Click(dialog, IDC_BTN_OK);
    ASSERT_TRUE(host.WaitForExit(30000)) << "the save did not close the dialog";
    EXPECT_EQ(host.ExitCode(), 0u);

    const std::vector<std::string> calls = sandbox.Calls();
    std::string all;
    for (const auto& call : calls)
        all += call + " ";
    // The switch first, whole: its boot entry before anything of the save.
    ASSERT_GE(calls.size(), 3u) << all;
    EXPECT_EQ(calls[0], "EnableProtect") << all;
    EXPECT_EQ(calls[1], "GetSnapshotSetting") << all;
    EXPECT_EQ(calls[2], "SetBootEntry") << all;
    EXPECT_EQ(CountOf(calls, "SetBootEntry"), 1u) << all;
    // Then one save, not two.
    EXPECT_EQ(CountOf(calls, "GetProtectState"), 1u) << all;
    EXPECT_EQ(CountOf(calls, "SetSnapshotSetting"), 1u) << all;
    EXPECT_EQ(CountOf(calls, "SetEventMonitorSetting"), 1u) << all;
    EXPECT_LT(IndexOf(calls, "SetBootEntry"), IndexOf(calls, "GetProtectState")) << all;
    // The two workers never ran at once: each thread's calls form one run.
    const auto journal = sandbox.Journal();
    const DWORD switchThread = journal.front().threadId;
    size_t lastOfSwitch = 0, firstOfOther = journal.size();
    for (size_t i = 0; i < journal.size(); ++i) {
        if (journal[i].threadId == switchThread)
            lastOfSwitch = i;
        else if (firstOfOther == journal.size())
            firstOfOther = i;
    }
    EXPECT_LT(lastOfSwitch, firstOfOther) << all;

    const sim::EngineState engine = sandbox.Engine();
    EXPECT_TRUE(engine.protectOn);
    EXPECT_TRUE(engine.bootEntry.present);
    EXPECT_EQ(engine.snapshotSetting.bAutoRestore, 1);
    EXPECT_TRUE(engine.bootRestore.armed) << "the save armed the restore after the switch";
    EXPECT_TRUE(sandbox.LogLines().empty());
}

}  // namespace
