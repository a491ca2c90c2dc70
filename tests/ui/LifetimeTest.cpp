// The module's lifetime in a host that loads it only around each use: a hundred rounds of
// loading it, opening the dialog (closed as soon as it is up) and unloading it again. GDI+
// starts with the first opening of each load and stops at each unload, after the module's
// images are released; nothing may crash, and no dialog, image or handle of the module may be
// kept from one round to the next. (Repeated openings within one load are
// OpeningResourcesTest's.)
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

constexpr int kRounds = 100;
constexpr wchar_t kProbeHost[] = L"ReloadHost.exe";

TEST(LifetimeTest, AHundredLoadsOpeningsAndUnloadsKeepNothingAndNeverCrash) {
    Sandbox sandbox("Lifetime");
    ASSERT_TRUE(::CopyFileW((BuildHostDir() + L"\\SettingHost.exe").c_str(),
                            sandbox.PathOf(kProbeHost).c_str(), FALSE));
    UnmanagedWindows unmanaged(kProbeHost);
    const std::wstring probeFile = sandbox.PathOf(L"probe.txt");
    HostProcess host(sandbox,
                     L"/show /autoclose /reload /keepcommoncontrols /repeat " +
                         std::to_wstring(kRounds) + L" /probe \"" + probeFile + L"\"",
                     kProbeHost);
    ASSERT_TRUE(host.Started());
    ASSERT_TRUE(host.WaitForExit(100000)) << "the rounds did not end";
    EXPECT_EQ(host.ExitCode(), 0u) << "the host crashed or could not load the module again";

    const auto traces = host.Traces();
    const auto count = [&](const char* text) {
        return std::count_if(traces.begin(), traces.end(), [&](const std::string& t) {
            return t.find(text) != std::string::npos;
        });
    };
    EXPECT_EQ(count("In Setting Dlg"), kRounds);
    EXPECT_EQ(count("Out Setting Dlg"), kRounds);
    const auto calls = sandbox.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "GetProductInfo"), kRounds);
    EXPECT_TRUE(sandbox.LogLines(kProbeHost).empty());

    auto probes = ParseProbes(sandbox.ReadFile(L"probe.txt"));
    ASSERT_EQ(probes.count("first"), 1u) << sandbox.ReadFile(L"probe.txt");
    ASSERT_EQ(probes.count("last"), 1u) << sandbox.ReadFile(L"probe.txt");
    for (const auto& [stage, v] : probes) {
        std::printf("probe %-6s gdi %llu, handle %llu, working set %llu, committed %llu\n",
                    stage.c_str(), v.gdiSlot, v.handle, v.workingSet, v.committed);
    }
    const ProbeValues first = probes["first"], last = probes["last"];
    // The host keeps the common controls 6 library loaded: Wine 8's copy keeps one GDI object
    // each time it is unloaded, which is the platform's, not the module's (docs/RELIABILITY.md).
    // So nothing may grow: a font, brush, image or handle kept per round exceeds these bounds.
    EXPECT_LE(last.gdiSlot, first.gdiSlot + 5) << "GDI objects kept";
    EXPECT_LE(last.handle, first.handle + 5 * 4) << "kernel handles kept";
    EXPECT_LE(last.committed, first.committed + 1024 * 1024) << "memory kept";
}

}  // namespace
