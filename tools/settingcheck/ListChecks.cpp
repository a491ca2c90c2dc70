// The two period lists of [TIMELIST] and [TIMELIST_EVENT]: as many entries as COUNT says, each
// starting with its number of hours, which tells the entries apart.
#include <algorithm>
#include <cstdint>
#include <map>

#include "Checks.h"
#include "Strings.h"

namespace settingcheck {

namespace {

using config::Key;

constexpr int kMostEntries = 1000;          // list entries looked at
constexpr size_t kMostMissingReported = 5;  // missing entries reported one by one

// One finding an entry for a few; one for them all when many are missing.
void ReportMissingEntries(Context& c, const Key& list, const std::vector<int>& missing, int count) {
    const std::string effect = ": COUNT of [TIMELIST] is " + std::to_string(count) + ", so the " +
                               (&list == &config::kCyclePeriods ? "cycle" : "schedule") +
                               " list shows an empty entry that stands for 0 hours";
    if (missing.size() <= kMostMissingReported) {
        for (int i : missing)
            c.Add("list", list, "is missing" + effect, list.EntryName(i));
    } else {
        c.Add("list", list,
              "is missing, and " + std::to_string(missing.size() - 1) + " more entries up to " +
                  ToUtf8(list.EntryName(missing.back())) + effect + " for each",
              list.EntryName(missing.front()));
    }
}

void CheckList(Context& c, const Key& list, int checked, int count, int firstMinutes) {
    std::map<int, int> hoursSeenAt;  // hours -> first entry
    int first = -1;
    std::vector<int> missing;
    for (int i = 0; i < checked; ++i) {
        const std::wstring name = list.EntryName(i);
        std::wstring text;
        if (!c.Get(list, text, name)) {
            missing.push_back(i);
            continue;
        }
        const int hours = text::LeadingInt(text);
        if (i == 0) {
            first = hours;
            if (hours == 0) {
                c.Add("list", list,
                      "\"" + ToUtf8(text) + "\" does not start with a number: TIME_0 stands for " +
                          std::to_string(firstMinutes) +
                          " minutes, but a stored period of 0 (option off) would select it too; "
                          "start it with a number that no other entry has",
                      name);
            }
            continue;
        }
        if (hours <= 0) {
            c.Add("list", list,
                  "\"" + ToUtf8(text) +
                      "\" does not start with its number of hours: the entry stands for " +
                      std::to_string(hours) + " hours",
                  name);
            continue;
        }
        if (&list == &config::kCyclePeriods && int64_t{hours} * 60 > 0xFFFF) {
            c.Add("list", list,
                  "stands for " + std::to_string(hours) +
                      " hours: the cycle period is kept in minutes in 16 bits, at most 1092 "
                      "hours",
                  name);
        }
        const auto seen = hoursSeenAt.find(hours);
        if (seen != hoursSeenAt.end()) {
            c.Add("list", list,
                  "starts with " + std::to_string(hours) + " hours like TIME_" +
                      std::to_string(seen->second) +
                      ": the dialog cannot tell the two apart when it shows the stored period",
                  name);
        } else {
            hoursSeenAt[hours] = i;
        }
    }
    ReportMissingEntries(c, list, missing, count);
    const auto clash = hoursSeenAt.find(first);
    if (first > 0 && clash != hoursSeenAt.end()) {
        c.Add("list", list,
              "starts with " + std::to_string(first) + " like TIME_" +
                  std::to_string(clash->second) + ": a stored period of " + std::to_string(first) +
                  " hours would select TIME_0 as well",
              list.EntryName(0));
    }
    std::wstring extra;
    if (c.Get(list, extra, list.EntryName(count))) {
        c.Add("list", list,
              "is never shown: COUNT of [TIMELIST] is " + std::to_string(count) +
                  " (both lists show that many entries)",
              list.EntryName(count));
    }
}

}  // namespace

void CheckPeriodLists(Context& c) {
    if (!c.setting.present) return;
    std::wstring countText;
    if (!c.Get(config::kPeriodCount, countText) || Trim(countText).empty()) return;  // reported
    const int count = text::LeadingInt(countText);
    if (count <= 0) {
        c.Add("list", config::kPeriodCount,
              "\"" + ToUtf8(countText) +
                  "\" is not a number of entries: both period lists stay empty");
        return;
    }
    if (count > kMostEntries) {
        c.Add("list", config::kPeriodCount,
              "is " + std::to_string(count) +
                  ": both lists get that many entries, most of them empty (only the first " +
                  std::to_string(kMostEntries) + " are checked)");
    }
    CheckList(c, config::kSchedulePeriods, std::min(count, kMostEntries), count, 15);
    CheckList(c, config::kCyclePeriods, std::min(count, kMostEntries), count, 30);
}

}  // namespace settingcheck
