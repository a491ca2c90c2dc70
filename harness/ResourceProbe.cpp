#include "ResourceProbe.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace harness {
namespace {

constexpr int kBurst = 1000;

// Under Wine PrivateUsage stays 0; walking the address space gives the same figure.
unsigned long long CommittedPrivateBytes() {
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* address = nullptr;
         ::VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    }
    return total;
}

unsigned long long WorkingSetBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
}

}  // namespace

ResourceProbe TakeResourceProbe() {
    ResourceProbe probe;
    std::vector<HBRUSH> brushes;
    std::vector<HANDLE> events;
    for (int i = 0; i < kBurst; ++i) {
        if (HBRUSH brush = ::CreateSolidBrush(RGB(i & 0xFF, 0, 0))) {
            brushes.push_back(brush);
            probe.gdiSlot = std::max<unsigned long long>(probe.gdiSlot, LOWORD(brush));
        }
        if (HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
            events.push_back(event);
            probe.handle =
                std::max<unsigned long long>(probe.handle, reinterpret_cast<uintptr_t>(event));
        }
    }
    for (HBRUSH brush : brushes)
        ::DeleteObject(brush);
    for (HANDLE event : events)
        ::CloseHandle(event);
    probe.workingSet = WorkingSetBytes();
    probe.committed = CommittedPrivateBytes();
    return probe;
}

std::string ProbeLine(const std::string& stage, const ResourceProbe& probe) {
    char line[160];
    std::snprintf(line, sizeof line, "%s gdi=%llu handle=%llu workingset=%llu committed=%llu\n",
                  stage.c_str(), probe.gdiSlot, probe.handle, probe.workingSet, probe.committed);
    return line;
}

std::map<std::string, ResourceProbe> ParseProbeLines(const std::string& text) {
    std::map<std::string, ResourceProbe> probes;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        char stage[32] = {};
        ResourceProbe v;
        if (std::sscanf(line.c_str(), "%31s gdi=%llu handle=%llu workingset=%llu committed=%llu",
                        stage, &v.gdiSlot, &v.handle, &v.workingSet, &v.committed) == 5) {
            probes[stage] = v;
        }
    }
    return probes;
}

}  // namespace harness
