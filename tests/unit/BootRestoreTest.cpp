// Restore at start-up and the recovery boot entry, called in-process: what is handed back or
// logged when the engine refuses, including answers the simulated engine cannot give (an
// output written by a failing call, a different result for each of two calls). The requests
// themselves are checked byte for byte through the dialog (SaveTest, SwitchTest).
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "EngineRecords.h"
#include "ImportPatch.h"
#include "BootRestore.h"
#include "SimJournal.h"
#include "SimState.h"
#include "TempFolder.h"

using namespace testsupport;

namespace {

constexpr DWORD kRequester = 0x00A1B2C8;

// An engine that fails the count but reports one anyway.
DWORD WINAPI CountFailingWithFive(DWORD* count) {
    *count = 5;
    return 1359;
}

// A boot library that answers its two calls with 5 and 7.
std::vector<DWORD> g_bootActions;
DWORD WINAPI ScriptedSetBootEntry(BOOT_ENTRY_REQUEST* request) {
    g_bootActions.push_back(request->dwAction);
    return g_bootActions.size() == 1 ? 5 : 7;
}

TEST(BootRestoreTest, RefusalsAreHandedBackAndOnlyAFailedCountWithACountIsLogged) {
    TemporaryFolder folder(/*engine=*/true);
    const std::wstring engine = folder.Dir();

    sim::SetFailure(engine, "SetBootRestore", 1117);
    EXPECT_EQ(SetRestore(0, kRequester), 1117u);
    EXPECT_FALSE(sim::ReadState(engine).bootRestore.armed);
    sim::SetFailure(engine, "SetBootEntry", 1234);
    EXPECT_EQ(SetPEBoot(1), 1234u);
    EXPECT_FALSE(sim::ReadState(engine).bootEntry.present);
    EXPECT_TRUE(folder.Log().empty());
    sim::ResetState(engine);
    sim::ClearJournal(engine);

    {
        // A failed count that still reports a count: the request is not sent, and logged.
        ImportPatch count(::GetModuleHandleW(nullptr), "Pellucid.dll", WORD{3},
                          reinterpret_cast<const void*>(&CountFailingWithFive));
        ASSERT_TRUE(count.Active());
        EXPECT_EQ(SetRestore(0, kRequester), 1359u);
    }
    EXPECT_TRUE(sim::ReadJournal(engine, "SetBootRestore").empty());
    const auto log = folder.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(L"Error = 1359 "), std::wstring::npos) << Narrow(log[0]);

    // Cancelling sets the entry, then clears it; only the last call's result comes back.
    ImportPatch boot(::GetModuleHandleW(nullptr), "Marrowick.dll", WORD{25},
                     reinterpret_cast<const void*>(&ScriptedSetBootEntry));
    ASSERT_TRUE(boot.Active());
    EXPECT_EQ(DelRestore(), 7u);
    EXPECT_EQ(g_bootActions, (std::vector<DWORD>{1, 0}));
    EXPECT_EQ(folder.Log().size(), 1u);
}

}  // namespace
