// Saving with OK (and the hidden Apply) through the engine library: the records as the engine
// receives them, restore at start-up with its request, the tray application, the waiting box
// shown meanwhile, and what the next opening shows. Every field's rule is the settings model's
// (its native tables, tests/model); engine failures while saving are the fault matrix's.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>

#include "EngineRecords.h"
#include "Session.h"

#include <tlhelp32.h>

using namespace testsupport;

namespace {

template <class Record>
std::vector<BYTE> BytesOf(const Record& record) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&record);
    return std::vector<BYTE>(bytes, bytes + sizeof(Record));
}

// The boot-entry request as the boot library must receive it.
std::vector<BYTE> BootEntryBytes(DWORD action) {
    std::vector<BYTE> bytes(BOOT_ENTRY_REQUEST_SIZE, 0);
    bytes[0] = 2;
    bytes[1] = 0x20;
    bytes[3] = 3;
    std::memcpy(&bytes[4], &action, sizeof action);
    std::memcpy(&bytes[24], "Corvianex Recovery Environment", 30);
    return bytes;
}

bool TrayEventExists() {
    HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, sim::kTrayEventName);
    if (event) ::CloseHandle(event);
    return event != nullptr;
}

int ThreadCount(DWORD processId) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == processId;
    ::CloseHandle(snapshot);
    return count;
}

// A settings record whose bytes that the dialog does not own are all nonzero, with the
// dialog's own fields set to what an untouched dialog saves again.
SNAPSHOT_SETTING PatternedSnapshot() {
    SNAPSHOT_SETTING setting{};
    auto* bytes = reinterpret_cast<BYTE*>(&setting);
    for (size_t i = 0; i < sizeof setting; ++i)
        bytes[i] = static_cast<BYTE>(0x81 + i * 37 % 120);
    setting.cbSize = SNAPSHOT_SETTING_SIZE;
    setting.AutoCreate.bEnable = 1;
    setting.AutoCreate.bSuppressToaster = 0;
    setting.AutoCreate.dwCycleMinutes = 120;
    setting.bShowTrayIcon = 0;
    setting.bAutoRestore = 0;
    setting.dwRestoreChoice = 1;
    return setting;
}

struct Saved {
    Session& session;
    std::vector<std::string> traces;  // of this opening
    ULONG_PTR dialogObject = 0;       // the address of the dialog's window object

    bool Traced(const std::string& start) const {
        return std::any_of(traces.begin(), traces.end(),
                           [&](const std::string& t) { return t.rfind(start, 0) == 0; });
    }
    SNAPSHOT_SETTING Snapshot() const {
        return Sent<SNAPSHOT_SETTING>(session, "SetSnapshotSetting");
    }
    EVENT_MONITOR_SETTING Events() const {
        return Sent<EVENT_MONITOR_SETTING>(session, "SetEventMonitorSetting");
    }
    std::vector<std::string> Calls() const { return session.EngineCalls(); }
};

using Prepare = void (*)(sim::EngineState&);

// Opens the dialog over `engine` (and what `prepare` changes), does `actions`, clicks OK (or
// Apply) and waits until the save has closed the dialog.
Saved SaveWith(Session& session, const std::string& engine, const std::string& actions,
               Prepare prepare = nullptr, int button = IDC_BTN_OK) {
    session.Prepare(engine);
    if (prepare) session.sandbox.UpdateEngine(prepare);
    const size_t mark = session.host->Traces().size();
    HWND dialog = session.host->OpenSettings();
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return {session, {}};
    // The dialog layer keeps its window object's address with the window.
    const auto object = static_cast<ULONG_PTR>(::GetWindowLongPtrW(dialog, DWLP_USER));
    session.ForgetCalls();
    Act(dialog, actions);
    Click(dialog, button);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 15000))
        << "the dialog did not close after saving";
    auto traces = session.host->Traces();
    traces.erase(traces.begin(), traces.begin() + std::min(mark, traces.size()));
    return {session, traces, object};
}

using Check = std::function<void(const Saved&)>;

struct SaveRow {
    const char* name;
    const char* engine;  // "tray=0" unless the row is about the tray
    const char* actions;
    // Fields of the records sent: enable, minutes, suppress, tray, restore, choice (the
    // settings), flags, cycle (the event settings).
    const char* saved;
    const char* trace = nullptr;  // a trace the save writes
    Check check = nullptr;
    Prepare prepare = nullptr;
};

void ExpectSaved(const Saved& s, const std::string& claims) {
    const EVENT_MONITOR_SETTING events = s.Events();
    ExpectRecordsWritten(s.Snapshot(), &events, claims);
}

const std::vector<std::string> kRestoreOffCalls = {
    "GetProtectState", "GetSnapshotSetting", "ClearBootRestore",   "SetBootEntry",
    "SetBootEntry",    "UnregisterTray",     "SetSnapshotSetting", "SetEventMonitorSetting"};

// Restore on: the latest snapshot armed with the stored choice before the records go.
Check RestoreArmed(DWORD index, DWORD choice) {
    return [=](const Saved& s) {
        EXPECT_EQ(s.Calls(),
                  (std::vector<std::string>{"GetProtectState", "GetSnapshotSetting",
                                            "GetSnapshotCount", "SetBootRestore", "UnregisterTray",
                                            "SetSnapshotSetting", "SetEventMonitorSetting"}));
        const auto requests = s.session.Entries("SetBootRestore");
        ASSERT_EQ(requests.size(), 1u);
        const std::vector<BYTE>& bytes = requests[0].bytes;
        ASSERT_EQ(bytes.size(), BOOT_RESTORE_REQUEST_SIZE);
        DWORD field[4] = {};
        for (int i = 0; i < 3; ++i)
            std::memcpy(&field[i], &bytes[4 * i], 4);
        std::memcpy(&field[3], &bytes[302], 4);
        EXPECT_EQ(field[0], BOOT_RESTORE_REQUEST_SIZE);
        EXPECT_EQ(field[1], index);
        EXPECT_EQ(field[2], choice);
        // The requesting dialog's window object: its whole address on x86, as the engine reads
        // it; on x64 the 32-bit field takes the address's low half.
        EXPECT_NE(s.dialogObject, 0u);
        EXPECT_EQ(field[3], static_cast<DWORD>(s.dialogObject));
        // The same address, as the worker's trace shows it.
        char requester[16];
        std::snprintf(requester, sizeof requester, " lpWnd:0x%08x",
                      static_cast<unsigned>(field[3]));
        EXPECT_TRUE(field[3] != 0 && s.Traced(requester)) << requester;
        EXPECT_TRUE(
            std::all_of(bytes.begin() + 12, bytes.begin() + 302, [](BYTE b) { return b == 0; }));
        EXPECT_TRUE(s.session.sandbox.Engine().bootRestore.armed);
    };
}

const SaveRow kRows[] = {
    // An untouched dialog writes the records back: only its own fields change, the bytes it
    // does not own come back as the engine gave them.
    {"UntouchedDialog", "", "", "", nullptr,
     [](const Saved& s) {
         EXPECT_EQ(BytesOf(s.Snapshot()), BytesOf(PatternedSnapshot()));
         EVENT_MONITOR_SETTING expected{};
         expected.cbSize = EVENT_MONITOR_SETTING_SIZE;
         expected.wFlags = 0x0001;
         expected.wCycleMinutes = 60;
         EXPECT_EQ(BytesOf(s.Events()), BytesOf(expected));
     },
     [](sim::EngineState& e) {
         e.snapshotSetting = PatternedSnapshot();
         std::memset(&e.eventMonitorSetting, 0x5A, sizeof e.eventMonitorSetting);
         e.eventMonitorSetting.cbSize = EVENT_MONITOR_SETTING_SIZE;
         e.eventMonitorSetting.wFlags = 0xFFF1;  // system folder on, foreign bits set
         e.eventMonitorSetting.wCycleMinutes = 60;
     }},
    // clang-format off
    // The choices reach the records through the engine library (the model's tables,
    // tests/model, hold every field's rule): the event flags with the cycle, the schedule
    // with its trace.
    {"SystemFolderOn", "tray=0 events=0@30", "click systemFolder", "flags=1 cycle=30"},
    {"ScheduleTwoHours", "tray=0 schedule=1@15", "select scheduleList 2", "enable=1 minutes=120",
     "save dwCycleMinutes:120.000000, iValue:2.000000, strTemp:TIME_2, lpSetting->AutoCreate.dwCycleMinutes:120"},
    // Restore at start-up: the latest snapshot with the stored choice.
    {"RestoreLatestOfFive", "tray=0 count=5 restore=1 choice=0", "", "restore=1 choice=0", "SetRestore result: 0, line:", RestoreArmed(4, 0)},
    {"RestoreLatestOfThree", "tray=0 count=3 restore=1 choice=1", "", "restore=1 choice=1", "SetRestore result: 0, line:", RestoreArmed(2, 1)},
    {"RestoreWithoutSnapshots", "tray=0 count=0 restore=1 choice=1", "", "restore=1 choice=1", "SetRestore result: 0, line:", RestoreArmed(0xFFFFFFFF, 1)},
    // clang-format on
    {"RestoreOffCancelsItBeforeTheTray", "tray=1", "", "restore=0", "DelRestore result: 0, line:",
     [](const Saved& s) {
         auto calls = kRestoreOffCalls;
         calls[5] = "RegisterTray";
         EXPECT_EQ(s.Calls(), calls);
         const auto entries = s.session.Entries("SetBootEntry");
         ASSERT_EQ(entries.size(), 2u);
         EXPECT_EQ(entries[0].bytes, BootEntryBytes(1));
         EXPECT_EQ(entries[1].bytes, BootEntryBytes(0));
         const sim::EngineState state = s.session.sandbox.Engine();
         EXPECT_FALSE(state.bootRestore.armed);
         EXPECT_FALSE(state.bootEntry.present);
     }},
    // The tray application: started and registered under the product's name.
    {"TrayOnStartsAndRegisters", "tray=0 product=Pyxis", "click tray", "tray=1", nullptr,
     [](const Saved& s) {
         const Sandbox& box = s.session.sandbox;
         ASSERT_TRUE(WaitUntil([&] { return !s.session.Entries("TrayStarted").empty(); }));
         EXPECT_TRUE(WaitUntil(TrayEventExists)) << "the tray application is not running";
         EXPECT_EQ(
             _wcsicmp(s.session.Entries("TrayStarted")[0].Text("folder").value_or(L"").c_str(),
                      box.Dir().c_str()),
             0);
         const auto registered = s.session.Entries("RegisterTray");
         ASSERT_EQ(registered.size(), 1u);
         EXPECT_EQ(registered[0].Text("name"), std::wstring(L"Pyxis Tray"));
         EXPECT_EQ(_wcsicmp(registered[0].Text("path").value_or(L"").c_str(),
                            box.PathOf(L"CorvianexTray.exe").c_str()),
                   0);
         EXPECT_EQ(_wcsicmp(registered[0].Text("folder").value_or(L"").c_str(), box.Dir().c_str()),
                   0);
         EXPECT_TRUE(s.session.Entries("UnregisterTray").empty());
     }},
    // Started again while one runs: the second instance finds the first one's event and leaves.
    {"TrayOnWhileOneRuns", "tray=1", "", "tray=1", nullptr,
     [](const Saved& s) {
         EXPECT_TRUE(WaitUntil([&] { return !s.session.Entries("TrayAnotherInstance").empty(); }));
         EXPECT_EQ(s.session.Entries("TrayStarted").size(), 1u);
         EXPECT_EQ(s.session.Entries("RegisterTray").size(), 1u);
         EXPECT_TRUE(TrayEventExists());
     }},
    // Off: the running tray is told to quit, then unregistered.
    {"TrayOffSignalsTheRunningOne", "tray=1", "click tray", "tray=0", nullptr,
     [](const Saved& s) {
         EXPECT_TRUE(WaitUntil([] { return !TrayEventExists(); })) << "the tray did not quit";
         EXPECT_TRUE(WaitUntil([&] { return s.session.Entries("TraySignalled").size() == 1; }));
         EXPECT_TRUE(s.session.Entries("TrayStarted").empty());
         const auto unregistered = s.session.Entries("UnregisterTray");
         ASSERT_EQ(unregistered.size(), 1u);
         EXPECT_EQ(unregistered[0].Text("name"), std::wstring(L"Corvianex Shield Tray"));
         EXPECT_TRUE(s.session.Entries("RegisterTray").empty());
         EXPECT_FALSE(s.session.sandbox.Engine().tray.registered);
     }},
    {"TrayOffWithoutOneOnlyUnregisters", "tray=0", "", "tray=0", nullptr,
     [](const Saved& s) {
         EXPECT_EQ(s.Calls(), kRestoreOffCalls);
         EXPECT_TRUE(s.session.Entries("TraySignalled").empty());
         EXPECT_FALSE(TrayEventExists());
     }},
};

TEST(SaveTest, EachRowSavesWhatTheDialogShows) {
    Session session;
    for (const SaveRow& row : kRows) {
        SCOPED_TRACE(row.name);
        // The tray rows build on each other: a tray started by one runs into the next.
        if (std::string(row.name).rfind("Tray", 0) != 0) StopTrays();
        const Saved saved = SaveWith(session, row.engine, row.actions, row.prepare);
        ExpectSaved(saved, row.saved);
        EXPECT_TRUE(saved.Traced(" lpWnd:0x"));
        EXPECT_TRUE(saved.Traced("Dunmore:SetEventMonitorSetting ret:0"));
        if (row.trace) {
            EXPECT_TRUE(saved.Traced(row.trace)) << row.trace;
        }
        if (row.check) row.check(saved);
    }
}

// The next opening shows what was saved, in the same host.
TEST(SaveTest, NextOpeningShowsTheSavedValues) {
    Session session;
    SaveWith(session, "tray=0",
             "select scheduleList 3, click toaster, click systemFolder, click newProgram, "
             "select cycleList 4");
    HWND dialog = session.host->OpenSettings();
    ASSERT_NE(dialog, nullptr);
    ExpectControls(dialog,
                   "schedule=on scheduleList=#3 toaster=off tray=off systemFolder=off "
                   "newProgram=on cycle=on cycleList=#4 restore=off");
    // Restore at start-up with the second choice clears every snapshot option.
    Act(dialog, "click restore, select restoreList 1");
    Click(dialog, IDC_BTN_OK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    dialog = session.host->OpenSettings();
    ASSERT_NE(dialog, nullptr);
    ExpectControls(dialog,
                   "restore=on restoreList=#1 schedule=off,greyed systemFolder=off,greyed "
                   "newProgram=off,greyed cycle=off,greyed");
    session.Close(dialog);
}

// The hidden Apply saves like OK and closes.
TEST(SaveTest, ApplySavesLikeOkAndCloses) {
    Session session;
    const Saved saved =
        SaveWith(session, "tray=0 toaster=1", "click toaster", nullptr, IDC_BTN_APPLY);
    EXPECT_EQ(saved.Calls(), kRestoreOffCalls);
    EXPECT_EQ(saved.Snapshot().AutoCreate.bSuppressToaster, 1);
}

// While the engine works the waiting box is modal over the dialog, keeps Enter, Escape and
// Alt+F4 from closing it, and shows its text with one, two and three dots in turn.
TEST(SaveTest, WaitingBoxIsModalAndAnimatesWhileTheEngineWorks) {
    Session session;
    HWND dialog = session.Open("tray=0", {{L"SETTING", L"IDC_SAVESET", L"Saving"}});
    ASSERT_NE(dialog, nullptr);
    session.sandbox.DelayEngine("SetSnapshotSetting", 4000);
    Click(dialog, IDC_BTN_OK);
    HWND box = session.host->WaitForDialogWith(IDC_STATIC_WAIT, 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(OwnerOf(box), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog)) << "the settings dialog must not take input";
    BringToFront(box);
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    PressKey(VK_F4, {VK_MENU});
    session.host->Settle();
    EXPECT_TRUE(::IsWindowVisible(box));
    std::set<size_t> dots;
    std::wstring odd, last;
    std::vector<ULONGLONG> changes;  // when the dots changed
    WaitUntil(
        [&] {
            const std::wstring text = Text(box, IDC_STATIC_WAIT);
            if (!::IsWindow(box)) return true;
            const size_t count =
                text.size() - std::min(text.find_last_not_of(L'.') + 1, text.size());
            if (text.compare(0, 6, L"Saving") != 0 || text.size() - count != 6) odd = text;
            if (count > 0) dots.insert(count);
            if (!last.empty() && text != last) changes.push_back(::GetTickCount64());
            last = text;
            return changes.size() == 5;
        },
        5000);
    EXPECT_EQ(dots, (std::set<size_t>{1, 2, 3}));
    EXPECT_TRUE(odd.empty()) << Narrow(odd);
    // A step every 600 ms: the middle one of four intervals (a busy machine delays some).
    ASSERT_EQ(changes.size(), 5u);
    std::vector<ULONGLONG> steps;
    for (size_t i = 1; i < changes.size(); ++i)
        steps.push_back(changes[i] - changes[i - 1]);
    std::sort(steps.begin(), steps.end());
    EXPECT_NEAR(static_cast<double>(steps[1] + steps[2]) / 2, 600.0, 120.0);
    // Gone once the engine has answered; the settings dialog goes with it.
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box) && !::IsWindow(dialog); }, 10000));
    EXPECT_EQ(session.Entries("SetSnapshotSetting").size(), 1u);
}

// The same box while protection is switched on: the settings dialog stays open afterwards,
// so a dot animation that outlived the box would still be running in the host.
TEST(SaveTest, WaitingBoxStopsItsAnimationWhenItCloses) {
    Session session;
    HWND dialog = session.Open("protect=0");
    ASSERT_NE(dialog, nullptr);
    const int threadsBefore = ThreadCount(session.host->Id());
    session.sandbox.DelayEngine("EnableProtect", 1500);
    Click(dialog, IDC_CHECK_PROTECT);
    HWND box = session.host->WaitForDialogWith(IDC_STATIC_WAIT, 5000);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount(session.host->Id()) <= threadsBefore; }, 5000))
        << ThreadCount(session.host->Id()) << " threads, " << threadsBefore << " before";
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    session.Close(dialog);
}

}  // namespace
