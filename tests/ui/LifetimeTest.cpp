// Many openings keep nothing behind: in one load of the module, and in a host that loads the
// module only around each use (GDI+ then starts with each load's first opening and stops at
// each unload). Under Wine the system's counters stay 0, so the host measures itself (/probe):
// the highest slot of a burst of brushes and the highest value of a burst of event handles,
// which both rise with every object the process keeps.
#include <cstdio>
#include <cstring>

#include "ResourceProbe.h"
#include "Session.h"
#include "UnmanagedWindows.h"

using namespace testsupport;

namespace {

struct LifetimeRow {
    const char* name;
    const wchar_t* arguments;
    int openings;
    // Allowed growth from the first opening (which fills the platform's caches for good) to
    // the last: one object kept per opening exceeds these by far.
    unsigned long long gdiSlots, handleSteps, committedBytes, workingSetBytes;  // 0: not checked
};

const LifetimeRow kRows[] = {
    {"OneLoad", L"/show /autoclose", 40, 10, 10, 2 << 20, 2 << 20},
    // The host keeps the common controls 6 library loaded: Wine 8's copy keeps one GDI object
    // each time it is unloaded, which is the platform's, not the module's.
    {"LoadedForEachOpening", L"/show /autoclose /reload /keepcommoncontrols", 25, 5, 5, 1 << 20, 0},
};

TEST(LifetimeTest, OpeningsKeepNoObjectHandleOrMemory) {
    for (const LifetimeRow& row : kRows) {
        SCOPED_TRACE(row.name);
        // A probe host of its own name, whose hidden windows Wine does not wait for.
        const std::wstring program =
            L"Probe" + std::wstring(row.name, row.name + strlen(row.name)) + L".exe";
        Sandbox sandbox(row.name);
        ASSERT_TRUE(::CopyFileW((BuildHostDir() + L"\\SettingHost.exe").c_str(),
                                sandbox.PathOf(program).c_str(), FALSE));
        UnmanagedWindows unmanaged(program);
        HostProcess host(sandbox,
                         std::wstring(row.arguments) + L" /repeat " +
                             std::to_wstring(row.openings) + L" /probe \"" +
                             sandbox.PathOf(L"probe.txt") + L"\"",
                         program);
        ASSERT_TRUE(host.WaitForExit(100000)) << "the openings did not end";
        EXPECT_EQ(host.ExitCode(), 0u) << "the host crashed or could not load the module again";

        // Every opening happened, and each loaded the settings.
        const auto traces = host.Traces();
        EXPECT_EQ(
            std::count_if(traces.begin(), traces.end(),
                          [](const std::string& t) { return t.find("Out Setting Dlg") != t.npos; }),
            row.openings);
        const auto calls = sandbox.Calls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetProductInfo"), row.openings);
        EXPECT_TRUE(sandbox.LogLines(program).empty());

        auto probes = ParseProbeLines(sandbox.ReadFile(L"probe.txt"));
        ASSERT_EQ(probes.count("first") + probes.count("last"), 2u)
            << sandbox.ReadFile(L"probe.txt");
        for (const auto& [stage, v] : probes) {
            std::printf("%s %-6s gdi %llu, handle %llu, working set %llu, committed %llu\n",
                        row.name, stage.c_str(), v.gdiSlot, v.handle, v.workingSet, v.committed);
        }
        const ResourceProbe first = probes["first"], last = probes["last"];
        EXPECT_LE(last.gdiSlot, first.gdiSlot + row.gdiSlots) << "GDI objects kept";
        EXPECT_LE(last.handle, first.handle + row.handleSteps * 4) << "kernel handles kept";
        EXPECT_LE(last.committed, first.committed + row.committedBytes) << "memory kept";
        if (row.workingSetBytes) {
            EXPECT_LE(last.workingSet, first.workingSet + row.workingSetBytes) << "memory kept";
        }
    }
}

}  // namespace
