#include "SettingsModel.h"

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>

#include "Text.h"

namespace settings {
namespace {

// A period list longer than this is not a list a person wrote; the rest is ignored.
constexpr int kMaxPeriodEntries = 100;

// The engine's periods in minutes that always mean the first entry of each list, and the hours
// a save writes for that entry.
constexpr DWORD kScheduleFirstEntryMinutes = 15;
constexpr DWORD kCycleFirstEntryMinutes = 30;
constexpr float kScheduleFirstEntryHours = 0.25f;
constexpr float kCycleFirstEntryHours = 0.5f;

// Ends a load or a save at the first step that fails.
struct Stop {
    Failure failure;
};

[[noreturn]] void StopWith(int code, int line) {
    throw Stop{Failure{code, line, __FILE__, {}}};
}

// An engine result other than 0 ends the load or the save with that code.
#define CHECK_ENGINE_RESULT(call)                                                  \
    do {                                                                           \
        const DWORD engineResult = (call);                                         \
        if (engineResult != 0) StopWith(static_cast<int>(engineResult), __LINE__); \
    } while (0)

// A record of the engine's own, zero-filled, for one call.
template <class Record>
std::unique_ptr<Record> NewRecord() {
    return std::make_unique<Record>();
}

// Texts as the debugger output shows them: numbers as printf's %d and %f print them.
std::wstring Decimal(int value) {
    return std::to_wstring(value);
}
std::wstring Fixed(double value) {
    return std::to_wstring(value);  // six decimals, as %f
}
std::wstring Widened(const char* text) {
    std::wstring wide;
    for (; *text; ++text)
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
    return wide;
}

std::wstring TextOf(const WCHAR* text, size_t capacity) {
    std::wstring value;
    for (size_t i = 0; i < capacity && text[i] != 0; ++i)
        value.push_back(static_cast<wchar_t>(text[i]));
    return value;
}

// Selects entry `index` as a list control does: an index outside the list selects nothing.
void Select(List& list, int index) {
    list.selected = index >= 0 && index < static_cast<int>(list.entries.size()) ? index : -1;
}

// Builds a period list from the entries of `periods` and selects the entry whose hours make
// `minutes`; `firstEntryMinutes` always selects entry 0. The schedule list traces each entry.
void FillPeriodList(Environment& environment, Configuration& config, List& list,
                    const config::Key& periods, int count, DWORD minutes, DWORD firstEntryMinutes,
                    const DWORD* scheduleEnabled) {
    for (int i = 0; i < count; ++i) {
        const std::wstring entry = config.EntryText(periods, i);
        const int hours = config.EntryNumber(periods, i);
        if (scheduleEnabled) {
            environment.Trace(L"iValue:" + Decimal(hours) + L", dwCycleMinutes:" +
                              Decimal(static_cast<int>(minutes)));
        }
        list.entries.push_back(entry);
        if (static_cast<int64_t>(hours) * 60 == static_cast<int64_t>(minutes)) {
            Select(list, i);
            if (scheduleEnabled) {
                environment.Trace(L"setcursel:" + Decimal(i) + L", ret:" + Decimal(list.selected) +
                                  L", lpSetting->AutoCreate.bEnable:" +
                                  Decimal(static_cast<int>(*scheduleEnabled)));
            }
        }
        if (minutes == firstEntryMinutes) Select(list, 0);
    }
}

// The cycle box is never enabled by the user: the event options decide it.
void ApplyCycleRule(Options& o) {
    const bool eventWatch = o.newProgram.checked || o.systemFolder.checked;
    o.cycle.checked = eventWatch;
    o.cycle.enabled = false;
    o.cyclePeriods.enabled = eventWatch;
    o.cycleUnitEnabled = eventWatch;
}

// With restore at start-up on, the snapshot options are greyed (their values stay).
void ApplyRestoreRule(Options& o) {
    if (!o.restore.checked) return;
    for (bool* enabled : {&o.schedule.enabled, &o.schedulePeriods.enabled, &o.scheduleUnitEnabled,
                          &o.systemFolder.enabled, &o.newProgram.enabled, &o.cycle.enabled,
                          &o.cyclePeriods.enabled, &o.cycleUnitEnabled}) {
        *enabled = false;
    }
}

void LoadUsageLine(Environment& environment, Configuration& config, Texts& texts) {
    auto usage = NewRecord<SPACE_USAGE>();
    CHECK_ENGINE_RESULT(environment.GetSpaceUsage(*usage));
    const std::wstring used = text::FormatMegaUnits(usage->dwTotal - usage->dwFree);
    const std::wstring total = text::FormatMegaUnits(usage->dwTotal);
    std::wstring line = config.Text(config::kUsageText);
    line = text::ReplaceAll(std::move(line), L"[USED]", used);
    texts.usage = text::ReplaceAll(std::move(line), L"[TOTAL]", total);
}

void LoadSnapshotSetting(const SNAPSHOT_SETTING& setting, DWORD protect, Options& o) {
    o.toaster.checked = setting.AutoCreate.bSuppressToaster == 0;
    o.tray.checked = setting.bShowTrayIcon != 0;
    Select(o.restoreChoices, setting.dwRestoreChoice != 0 ? 0 : 1);
    o.restore.checked = setting.bAutoRestore != 0;
    if (setting.bAutoRestore == 0) Select(o.restoreChoices, 0);
    if (protect == 0) {
        o.restore.enabled = false;
        o.restoreChoices.enabled = false;
        o.toTheLatestEnabled = false;
    }
}

int PeriodCount(Environment& environment, Configuration& config) {
    const int count = config.Number(config::kPeriodCount);
    if (count <= kMaxPeriodEntries) return count;
    environment.LogTrace(__LINE__, __FILE__,
                         L"TIMELIST COUNT " + Decimal(count) + L" is more than " +
                             Decimal(kMaxPeriodEntries) + L"; the rest is ignored");
    return kMaxPeriodEntries;
}

void LoadAll(Environment& environment, Configuration* config, Options& o, Texts& texts) {
    auto info = NewRecord<PRODUCT_INFO>();
    CHECK_ENGINE_RESULT(environment.GetProductInfo(*info));
    const std::wstring productName =
        TextOf(info->szProductName, std::size(info->szProductName) - 1);
    if (!config) throw Stop{Failure{0, __LINE__, __FILE__, L"iniFile Pointer is NULL"}};

    texts.productName = productName;
    texts.title = text::ReplaceAll(config->Text(config::kTitle), L"[PRODUCTNAME]", productName);
    LoadUsageLine(environment, *config, texts);

    DWORD protect = 0;
    CHECK_ENGINE_RESULT(environment.GetProtectState(protect));
    o.protect.checked = protect != 0;

    auto setting = NewRecord<SNAPSHOT_SETTING>();
    setting->cbSize = SNAPSHOT_SETTING_SIZE;
    CHECK_ENGINE_RESULT(environment.GetSnapshotSetting(*setting));
    LoadSnapshotSetting(*setting, protect, o);

    char password[PASSWORD_BUFFER_SIZE] = {};
    if (environment.GetPassword(password) == 0) o.password.checked = password[0] != '\0';

    const int count = PeriodCount(environment, *config);
    const AUTO_CREATE_SETTING& schedule = setting->AutoCreate;
    FillPeriodList(environment, *config, o.schedulePeriods, config::kSchedulePeriods, count,
                   schedule.dwCycleMinutes, kScheduleFirstEntryMinutes, &schedule.bEnable);
    o.schedule.checked = schedule.bEnable != 0;
    o.schedulePeriods.enabled = schedule.bEnable != 0;

    auto events = NewRecord<EVENT_MONITOR_SETTING>();
    events->cbSize = EVENT_MONITOR_SETTING_SIZE;
    CHECK_ENGINE_RESULT(environment.GetEventMonitorSetting(*events));
    o.systemFolder.checked = (events->wFlags & EVENT_FLAG_PROTECT_SYSTEM_FOLDER) != 0;
    o.newProgram.checked = (events->wFlags & EVENT_FLAG_SNAPSHOT_ON_INSTALL) != 0;
    FillPeriodList(environment, *config, o.cyclePeriods, config::kCyclePeriods, count,
                   events->wCycleMinutes, kCycleFirstEntryMinutes, nullptr);

    ApplyCycleRule(o);
    ApplyRestoreRule(o);
}

// Minutes for a period list entry, as the engine stores them: entry 0 stands for
// `firstEntryHours`, any other entry for the hours its text starts with (0 when there is
// none). Truncated as the engine expects; out-of-range values wrap instead of being undefined.
DWORD PeriodMinutes(Configuration& config, const config::Key& list, int index,
                    float firstEntryHours, float& hours) {
    hours = index == 0 ? firstEntryHours : static_cast<float>(config.EntryNumber(list, index));
    return static_cast<DWORD>(static_cast<int64_t>(hours * 60.0f));
}

void SaveSchedule(Environment& environment, Configuration& config, const Choices& c,
                  AUTO_CREATE_SETTING& schedule) {
    if (!c.schedule) {
        schedule.dwCycleMinutes = 0;
        schedule.bEnable = 0;
        return;
    }
    float hours = 0.0f;
    schedule.dwCycleMinutes = PeriodMinutes(config, config::kSchedulePeriods, c.scheduleIndex,
                                            kScheduleFirstEntryHours, hours);
    environment.Trace(L"save dwCycleMinutes:" + Fixed(static_cast<double>(hours * 60.0f)) +
                      L", iValue:" + Fixed(static_cast<double>(hours)) + L", strTemp:" +
                      config::kSchedulePeriods.EntryName(c.scheduleIndex) +
                      L", lpSetting->AutoCreate.dwCycleMinutes:" +
                      Decimal(static_cast<int>(schedule.dwCycleMinutes)));
    schedule.bEnable = 1;
}

// Restore at start-up, armed or cancelled before the settings that record it are written.
void SaveRestore(Environment& environment, const Choices& c, SNAPSHOT_SETTING& setting) {
    DWORD result = 0;
    const wchar_t* name = nullptr;
    int line = 0;
    if (c.restore) {
        setting.bAutoRestore = 1;
        result = environment.ArmRestore(c.restoreChoiceIndex);
        name = L"SetRestore";
        line = __LINE__;
    } else {
        setting.bAutoRestore = 0;
        environment.GreyRestoreChoices();
        result = environment.CancelRestore();
        name = L"DelRestore";
        line = __LINE__;
    }
    environment.Trace(std::wstring(name) + L" result: " + Decimal(static_cast<int>(result)) +
                      L", line:" + Decimal(line) + L", file:" + Widened(__FILE__));
    setting.dwRestoreChoice = c.restoreChoiceIndex == 0 ? 1 : 0;
}

void SaveAll(Environment& environment, Configuration& config, const Choices& c) {
    DWORD protect = 0;
    CHECK_ENGINE_RESULT(environment.GetProtectState(protect));  // only a failure matters

    auto setting = NewRecord<SNAPSHOT_SETTING>();
    setting->cbSize = SNAPSHOT_SETTING_SIZE;
    CHECK_ENGINE_RESULT(environment.GetSnapshotSetting(*setting));
    SaveSchedule(environment, config, c, setting->AutoCreate);
    setting->AutoCreate.bSuppressToaster = c.toaster ? 0 : 1;
    setting->bShowTrayIcon = c.tray ? 1 : 0;
    SaveRestore(environment, c, *setting);
    environment.ApplyTray(c.tray);
    CHECK_ENGINE_RESULT(environment.SetSnapshotSetting(*setting));

    // Not read back first: every byte the dialog does not set goes as 0.
    auto events = NewRecord<EVENT_MONITOR_SETTING>();
    events->cbSize = EVENT_MONITOR_SETTING_SIZE;
    if (c.cycle) {
        float hours = 0.0f;
        events->wCycleMinutes = static_cast<WORD>(PeriodMinutes(
            config, config::kCyclePeriods, c.cycleIndex, kCycleFirstEntryHours, hours));
    }
    events->wFlags = static_cast<WORD>((c.systemFolder ? EVENT_FLAG_PROTECT_SYSTEM_FOLDER : 0) |
                                       (c.newProgram ? EVENT_FLAG_SNAPSHOT_ON_INSTALL : 0));
    const DWORD result = environment.SetEventMonitorSetting(*events);
    environment.Trace(L"Dunmore:SetEventMonitorSetting ret:" + Decimal(static_cast<int>(result)));
    CHECK_ENGINE_RESULT(result);
}

// Runs a load or a save to its end or to its first failure.
template <class Steps>
std::optional<Failure> Run(Steps steps) {
    try {
        steps();
    } catch (const Stop& stop) {
        return stop.failure;
    } catch (const std::bad_alloc&) {
        return Failure{8, __LINE__, __FILE__, {}};
    }
    return std::nullopt;
}

}  // namespace

std::optional<Failure> Load(Environment& environment, Configuration* config, Options& options,
                            Texts& texts) {
    return Run([&] { LoadAll(environment, config, options, texts); });
}

std::optional<Failure> LoadUsage(Environment& environment, Configuration& config, Texts& texts) {
    return Run([&] { LoadUsageLine(environment, config, texts); });
}

std::optional<Failure> Save(Environment& environment, Configuration& config,
                            const Choices& choices) {
    return Run([&] { SaveAll(environment, config, choices); });
}

// Rule S: the schedule box enables its list; checking it clears restore at start-up.
void ScheduleClicked(Options& o) {
    o.schedulePeriods.enabled = o.schedule.checked;
    if (o.schedule.checked) o.restore.checked = false;
    o.applyEnabled = true;
}

// Rule E: an event option turns the cycle on (greyed) and clears restore at start-up.
void EventOptionClicked(Options& o) {
    o.applyEnabled = true;
    ApplyCycleRule(o);
    if (o.cycle.checked) o.restore.checked = false;
}

// Rule A: restore at start-up excludes every snapshot option; clearing it turns them all on.
void RestoreClicked(Options& o) {
    const bool snapshots = !o.restore.checked;
    for (Toggle* option : {&o.schedule, &o.systemFolder, &o.newProgram}) {
        option->checked = snapshots;
        option->enabled = snapshots;
    }
    o.cycle.checked = snapshots;
    o.cycle.enabled = false;
    o.scheduleUnitEnabled = o.schedulePeriods.enabled = snapshots;
    o.cycleUnitEnabled = o.cyclePeriods.enabled = snapshots;
}

void NotificationClicked(Options& o) {
    o.applyEnabled = true;
}

void SchedulePeriodChanged(Options& o) {
    o.applyEnabled = true;
}

void ProtectionSwitched(Options& o, bool on) {
    o.restore.enabled = on;
    o.restoreChoices.enabled = on;
    o.toTheLatestEnabled = on;
}

Choices ChoicesOf(const Options& o) {
    Choices c;
    c.schedule = o.schedule.checked;
    c.scheduleIndex = o.schedulePeriods.selected;
    c.toaster = o.toaster.checked;
    c.tray = o.tray.checked;
    c.restore = o.restore.checked;
    c.restoreChoiceIndex = o.restoreChoices.selected;
    c.cycle = o.cycle.checked;
    c.cycleIndex = o.cyclePeriods.selected;
    c.systemFolder = o.systemFolder.checked;
    c.newProgram = o.newProgram.checked;
    return c;
}

}  // namespace settings
