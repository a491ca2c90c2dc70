#include "ModelWorld.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <iterator>

#include "Text.h"

namespace modeltest {
namespace {

using settings::Options;

template <size_t N>
void CopyText(WCHAR (&target)[N], const std::wstring& text) {
    const size_t count = std::min(text.size(), N - 1);
    for (size_t i = 0; i < count; ++i)
        target[i] = static_cast<WCHAR>(text[i]);
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The model's part each control name of the rows stands for.
struct Named {
    const char* name;
    settings::Toggle Options::*toggle;
    settings::List Options::*list;
    bool Options::*enabled;
};
const Named kNamed[] = {
    {"protect", &Options::protect, nullptr, nullptr},
    {"schedule", &Options::schedule, nullptr, nullptr},
    {"systemFolder", &Options::systemFolder, nullptr, nullptr},
    {"newProgram", &Options::newProgram, nullptr, nullptr},
    {"cycle", &Options::cycle, nullptr, nullptr},
    {"restore", &Options::restore, nullptr, nullptr},
    {"tray", &Options::tray, nullptr, nullptr},
    {"toaster", &Options::toaster, nullptr, nullptr},
    {"password", &Options::password, nullptr, nullptr},
    {"scheduleList", nullptr, &Options::schedulePeriods, nullptr},
    {"cycleList", nullptr, &Options::cyclePeriods, nullptr},
    {"restoreList", nullptr, &Options::restoreChoices, nullptr},
    {"scheduleUnit", nullptr, nullptr, &Options::scheduleUnitEnabled},
    {"cycleUnit", nullptr, nullptr, &Options::cycleUnitEnabled},
    {"toTheLatest", nullptr, nullptr, &Options::toTheLatestEnabled},
    {"apply", nullptr, nullptr, &Options::applyEnabled},
};

const Named* Find(const std::string& name) {
    for (const Named& named : kNamed) {
        if (name == named.name) return &named;
    }
    ADD_FAILURE() << "no control " << name << " in the model";
    return nullptr;
}

bool Enabled(const Options& options, const Named& named) {
    if (named.toggle) return (options.*named.toggle).enabled;
    if (named.list) return (options.*named.list).enabled;
    return options.*named.enabled;
}

// The rule a click on a box runs.
void Clicked(Options& options, const std::string& name) {
    if (name == "schedule") settings::ScheduleClicked(options);
    if (name == "systemFolder" || name == "newProgram") settings::EventOptionClicked(options);
    if (name == "restore") settings::RestoreClicked(options);
    if (name == "tray" || name == "toaster") settings::NotificationClicked(options);
}

}  // namespace

World::World(const std::string& engine) {
    testsupport::DescribeEngine(state, engine);
}

DWORD World::Call(const std::string& operation) {
    calls.push_back(operation);
    return state.FailureFor(operation);
}

DWORD World::GetProductInfo(PRODUCT_INFO& info) {
    if (const DWORD failed = Call("GetProductInfo")) return failed;
    std::memset(&info, 0, sizeof info);
    CopyText(info.szProductName, state.productName);
    CopyText(info.szCaption, state.productCaption);
    return 0;
}

DWORD World::GetSpaceUsage(SPACE_USAGE& usage) {
    if (const DWORD failed = Call("GetSpaceUsage")) return failed;
    usage = state.spaceUsage;
    return 0;
}

DWORD World::GetProtectState(DWORD& protect) {
    if (const DWORD failed = Call("GetProtectState")) return failed;
    protect = state.protectOn ? 1 : 0;
    return 0;
}

DWORD World::GetSnapshotSetting(SNAPSHOT_SETTING& setting) {
    if (const DWORD failed = Call("GetSnapshotSetting")) return failed;
    setting = state.snapshotSetting;
    return 0;
}

DWORD World::SetSnapshotSetting(SNAPSHOT_SETTING& setting) {
    if (const DWORD failed = Call("SetSnapshotSetting")) return failed;
    state.snapshotSetting = setting;
    snapshotsWritten.push_back(setting);
    return 0;
}

DWORD World::GetEventMonitorSetting(EVENT_MONITOR_SETTING& setting) {
    if (const DWORD failed = Call("GetEventMonitorSetting")) return failed;
    setting = state.eventMonitorSetting;
    return 0;
}

DWORD World::SetEventMonitorSetting(EVENT_MONITOR_SETTING& setting) {
    if (const DWORD failed = Call("SetEventMonitorSetting")) return failed;
    state.eventMonitorSetting = setting;
    eventsWritten.push_back(setting);
    return 0;
}

DWORD World::GetPassword(char (&password)[PASSWORD_BUFFER_SIZE]) {
    if (const DWORD failed = Call("GetCvxPassWord")) return failed;
    std::memset(password, 0, sizeof password);
    std::memcpy(password, state.password.data(),
                std::min<size_t>(state.password.size(), PASSWORD_BUFFER_SIZE - 1));
    return 0;
}

DWORD World::ArmRestore(int choiceIndex) {
    return Call("ArmRestore " + std::to_string(choiceIndex));
}

DWORD World::CancelRestore() {
    return Call("CancelRestore");
}

void World::ApplyTray(bool on) {
    calls.push_back(on ? "ApplyTray on" : "ApplyTray off");
}

void World::Trace(const std::wstring& text) {
    traces.push_back(text);
}

void World::LogTrace(int, const char*, const std::wstring& text) {
    logged.push_back(text);
}

void World::GreyRestoreChoices() {
    calls.push_back("GreyRestoreChoices");
}

bool World::Traced(const std::wstring& start) const {
    return std::any_of(traces.begin(), traces.end(),
                       [&](const std::wstring& t) { return t.rfind(start, 0) == 0; });
}

Configuration::Configuration(const std::vector<IniValue>& changes) {
    std::ifstream file(SETTING_SHIPPED_CONFIG, std::ios::binary);
    m_shipped = settingcheck::IniDocument::Parse(
        std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
    for (const IniValue& change : changes)
        m_changes[{Lower(change.section), Lower(change.key)}] = change.value;
}

std::wstring Configuration::Value(const std::wstring& section, const std::wstring& key) const {
    const auto changed = m_changes.find({Lower(section), Lower(key)});
    if (changed != m_changes.end()) return changed->second ? changed->second : L"";
    std::wstring value;
    m_shipped.Get(section, key, value);
    return settingcheck::Unquote(value);
}

std::wstring Configuration::Text(const config::Key& key) {
    return Value(key.section, key.name);
}

int Configuration::Number(const config::Key& key) {
    return text::LeadingInt(Text(key));
}

std::wstring Configuration::EntryText(const config::Key& list, int index) {
    return Value(list.section, list.EntryName(index));
}

int Configuration::EntryNumber(const config::Key& list, int index) {
    return text::LeadingInt(EntryText(list, index));
}

settings::Options MadeOptions(Configuration& config) {
    settings::Options options;
    options.restoreChoices.entries = {config.Text(config::kRestoreChoice1),
                                      config.Text(config::kRestoreChoice2)};
    options.restoreChoices.selected = 0;
    return options;
}

void Act(Options& options, const std::string& actions) {
    for (const testsupport::Action& action : testsupport::Actions(actions)) {
        const Named* named = Find(action.control);
        if (!named || !Enabled(options, *named)) continue;
        if (action.verb == "click" && named->toggle) {
            (options.*named->toggle).checked = !(options.*named->toggle).checked;
            Clicked(options, action.control);
        } else if (action.verb == "select" && named->list) {
            settings::List& list = options.*named->list;
            if (action.entry < static_cast<int>(list.entries.size())) list.selected = action.entry;
            if (action.control == "scheduleList") settings::SchedulePeriodChanged(options);
        } else {
            ADD_FAILURE() << "cannot " << action.verb << " " << action.control;
        }
    }
}

void ExpectOptions(const Options& options, const std::string& claims) {
    for (const testsupport::Claim& claim : testsupport::Claims(claims)) {
        const Named* named = Find(claim.control);
        if (!named) continue;
        const std::string& name = claim.control;
        for (const std::string& state : claim.states) {
            if ((state == "on" || state == "off") && named->toggle) {
                EXPECT_EQ((options.*named->toggle).checked, state == "on")
                    << name << " is not " << state;
            } else if (state == "enabled" || state == "greyed") {
                EXPECT_EQ(Enabled(options, *named), state == "enabled")
                    << name << " is not " << state;
            } else if (state[0] == '#' && named->list) {
                EXPECT_EQ((options.*named->list).selected, std::stoi(state.substr(1)))
                    << name << " does not select " << state;
            } else if (state.rfind("items=", 0) == 0 && named->list) {
                EXPECT_EQ((options.*named->list).entries.size(), std::stoul(state.substr(6)))
                    << name << " has not " << state;
            } else {
                ADD_FAILURE() << "no state " << state << " of " << name << " in the model";
            }
        }
    }
}

}  // namespace modeltest
