// What a process holds, measured the way that works under Wine, where the system's counters
// (GetGuiResources, handle counts, PrivateUsage) stay 0. GDI slots and kernel handle values
// are reused once freed, so a burst of fresh objects fills the free ones first: its highest
// slot or value lies as far above the objects still alive as the burst is long, and grows by
// one slot (or one handle step of 4) for every object the process keeps. A single probe object
// would only show the last freed slot.
#pragma once

#include <map>
#include <string>

namespace harness {

struct ResourceProbe {
    unsigned long long gdiSlot = 0;     // highest slot (low 16 bits) of a burst of brushes
    unsigned long long handle = 0;      // highest value of a burst of event handles
    unsigned long long workingSet = 0;  // bytes
    unsigned long long committed = 0;   // bytes of committed private memory, heaps included
};

// This process, now.
ResourceProbe TakeResourceProbe();

// One line a stage, as a probing host writes them and a reader parses them:
// "<stage> gdi=<slot> handle=<value> workingset=<bytes> committed=<bytes>\n".
std::string ProbeLine(const std::string& stage, const ResourceProbe& probe);
// The lines of `text`, by stage; other lines are left out.
std::map<std::string, ResourceProbe> ParseProbeLines(const std::string& text);

}  // namespace harness
