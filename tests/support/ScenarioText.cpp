#include "ScenarioText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <tuple>
#include <utility>

namespace testsupport {
namespace {

DWORD Number(const std::string& text) {
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 0));
}

// "a@b" as two numbers.
std::pair<DWORD, DWORD> Pair(const std::string& text, char separator) {
    const size_t at = text.find(separator);
    return {Number(text.substr(0, at)), at == std::string::npos ? 0 : Number(text.substr(at + 1))};
}

}  // namespace

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        const size_t first = part.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        parts.push_back(part.substr(first, part.find_last_not_of(' ') - first + 1));
    }
    return parts;
}

void DescribeEngine(sim::EngineState& s, const std::string& description) {
    for (const std::string& item : Split(description, ' ')) {
        const size_t equals = item.find('=');
        const std::string key = item.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
        SNAPSHOT_SETTING& snapshot = s.snapshotSetting;
        if (key == "protect") {
            s.protectOn = Number(value) != 0;
        } else if (key == "restore") {
            snapshot.bAutoRestore = Number(value);
        } else if (key == "choice") {
            snapshot.dwRestoreChoice = Number(value);
        } else if (key == "schedule") {
            std::tie(snapshot.AutoCreate.bEnable, snapshot.AutoCreate.dwCycleMinutes) =
                Pair(value, '@');
        } else if (key == "events") {
            const auto [flags, minutes] = Pair(value, '@');
            s.eventMonitorSetting.wFlags = static_cast<WORD>(flags);
            s.eventMonitorSetting.wCycleMinutes = static_cast<WORD>(minutes);
        } else if (key == "toaster") {
            snapshot.AutoCreate.bSuppressToaster = Number(value) ? 0 : 1;
        } else if (key == "suppress") {
            snapshot.AutoCreate.bSuppressToaster = static_cast<BYTE>(Number(value));
        } else if (key == "tray") {
            snapshot.bShowTrayIcon = Number(value);
        } else if (key == "password") {
            s.password = value;
        } else if (key == "product") {
            s.productName = std::wstring(value.begin(), value.end());
        } else if (key == "count") {
            s.snapshotCount = Number(value);
        } else if (key == "usage") {
            std::tie(s.spaceUsage.dwTotal, s.spaceUsage.dwFree) = Pair(value, '/');
        } else if (key == "armed") {  // restore at start-up armed, with its boot entry
            const bool armed = Number(value) != 0;
            snapshot.bAutoRestore = armed ? 1 : 0;
            s.bootRestore.armed = armed;
            s.bootEntry.present = armed;
            s.bootEntry.title = armed ? "Corvianex Recovery Environment" : "";
        } else {
            ADD_FAILURE() << "unknown engine key: " << item;
        }
    }
}

std::vector<Action> Actions(const std::string& actions) {
    std::vector<Action> read;
    for (const std::string& action : Split(actions, ',')) {
        const std::vector<std::string> words = Split(action, ' ');
        if (words.size() == 2 && words[0] == "click") {
            read.push_back({words[0], words[1]});
        } else if (words.size() == 3 && words[0] == "select") {
            read.push_back({words[0], words[1], static_cast<int>(Number(words[2]))});
        } else {
            ADD_FAILURE() << "cannot do: " << action;
        }
    }
    return read;
}

std::vector<Claim> Claims(const std::string& controls) {
    std::vector<Claim> read;
    for (const std::string& claim : Split(controls, ' ')) {
        const size_t equals = claim.find('=');
        if (equals == std::string::npos || equals == 0) {
            ADD_FAILURE() << "cannot read the claim: " << claim;
            continue;
        }
        read.push_back({claim.substr(0, equals), Split(claim.substr(equals + 1), ',')});
    }
    return read;
}

void ExpectRecordsWritten(const SNAPSHOT_SETTING& snapshot, const EVENT_MONITOR_SETTING* events,
                          const std::string& claims) {
    const EVENT_MONITOR_SETTING written = events ? *events : EVENT_MONITOR_SETTING{};
    const std::pair<const char*, DWORD> fields[] = {
        {"enable", snapshot.AutoCreate.bEnable},
        {"minutes", snapshot.AutoCreate.dwCycleMinutes},
        {"suppress", snapshot.AutoCreate.bSuppressToaster},
        {"tray", snapshot.bShowTrayIcon},
        {"restore", snapshot.bAutoRestore},
        {"choice", snapshot.dwRestoreChoice},
        {"flags", written.wFlags},
        {"cycle", written.wCycleMinutes}};
    std::istringstream words(claims);
    for (std::string claim; words >> claim;) {
        const std::string name = claim.substr(0, claim.find('='));
        const auto field = std::find_if(std::begin(fields), std::end(fields),
                                        [&](const auto& f) { return name == f.first; });
        ASSERT_NE(field, std::end(fields)) << claim;
        if (name == "flags" || name == "cycle") EXPECT_TRUE(events) << "no event settings written";
        EXPECT_EQ(field->second, Number(claim.substr(claim.find('=') + 1))) << claim;
    }
}

}  // namespace testsupport
