// Opening and closing the settings dialog many times keeps no GDI object, no kernel handle
// and no memory behind. Under Wine the system's counters of these stay 0, so the host
// measures them itself (/probe): the highest slot of a burst of brushes and the highest value
// of a burst of event handles, which both rise with every object the process keeps.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "HostProcess.h"
#include "ResourceProbe.h"
#include "Sandbox.h"

using namespace testsupport;

namespace {

constexpr int kOpenings = 200;
constexpr wchar_t kProbeHost[] = L"ProbeHost.exe";

TEST(OpeningResourcesTest, TwoHundredOpeningsKeepNoObjectHandleOrMemory) {
    Sandbox sandbox("OpeningResources");
    ASSERT_TRUE(::CopyFileW((BuildHostDir() + L"\\SettingHost.exe").c_str(),
                            sandbox.PathOf(kProbeHost).c_str(), FALSE));
    UnmanagedWindows unmanaged(kProbeHost);
    const std::wstring probeFile = sandbox.PathOf(L"probe.txt");
    HostProcess host(sandbox,
                     L"/show /autoclose /repeat " + std::to_wstring(kOpenings) + L" /probe \"" +
                         probeFile + L"\"",
                     kProbeHost);
    ASSERT_TRUE(host.Started());
    ASSERT_TRUE(host.WaitForExit(100000)) << "the openings did not end";
    EXPECT_EQ(host.ExitCode(), 0u);

    // Every opening happened, and each loaded the settings.
    const auto traces = host.Traces();
    EXPECT_EQ(
        std::count_if(traces.begin(), traces.end(),
                      [](const std::string& t) { return t.find("In Setting Dlg") != t.npos; }),
        kOpenings);
    const auto calls = sandbox.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetProductInfo"), kOpenings);
    EXPECT_TRUE(sandbox.LogLines(kProbeHost).empty());

    auto probes = ParseProbes(sandbox.ReadFile(L"probe.txt"));
    ASSERT_EQ(probes.count("first"), 1u) << sandbox.ReadFile(L"probe.txt");
    ASSERT_EQ(probes.count("last"), 1u) << sandbox.ReadFile(L"probe.txt");
    const ProbeValues first = probes["first"], last = probes["last"];
    for (const auto& [stage, v] : probes) {
        std::printf("probe %-6s gdi %llu, handle %llu, working set %llu, committed %llu\n",
                    stage.c_str(), v.gdiSlot, v.handle, v.workingSet, v.committed);
    }
    // From the first opening (which fills the platform's caches for good) to the last: a
    // leak of one object per opening would add 199 slots or handle steps (4 each).
    EXPECT_LE(last.gdiSlot, first.gdiSlot + 10) << "GDI objects kept";
    EXPECT_LE(last.handle, first.handle + 10 * 4) << "kernel handles kept";
    // One skin image (some kilobytes) kept per opening would add well over these.
    EXPECT_LE(last.workingSet, first.workingSet + 2 * 1024 * 1024) << "memory kept";
    EXPECT_LE(last.committed, first.committed + 2 * 1024 * 1024) << "memory kept";
}

}  // namespace
