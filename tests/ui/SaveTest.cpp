// Saving the settings with OK (and the hidden Apply): the records the engine receives, the
// order of its calls, restore at start-up, the tray application, failures of the engine,
// the waiting box shown meanwhile, and what the next opening shows.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "EngineRecords.h"
#include "HostProcess.h"
#include "Sandbox.h"
#include "Ui.h"
#include "resource.h"

using namespace testsupport;

namespace {

const char* const kTrayAppSteps[] = {"TrayStarted", "TrayAnotherInstance", "TraySignalled",
                                     "TrayFailed"};

template <class Record>
std::vector<BYTE> BytesOf(const Record& record) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&record);
    return std::vector<BYTE>(bytes, bytes + sizeof(Record));
}

// A settings record whose bytes that the dialog does not own are all nonzero, with the
// dialog's own fields set to what an untouched dialog saves again.
SNAPSHOT_SETTING PatternedSnapshotSetting() {
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

bool IsTrayAppStep(const std::string& operation) {
    return std::find(std::begin(kTrayAppSteps), std::end(kTrayAppSteps), operation) !=
           std::end(kTrayAppSteps);
}

bool TrayEventExists() {
    HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, sim::kTrayEventName);
    if (!event) return false;
    ::CloseHandle(event);
    return true;
}

// Ends every tray application that a test started: each signal ends one instance, and the
// event goes with the last one.
void StopTrays() {
    WaitUntil([] { return !sim::SignalTray(); }, 15000);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

int CountOf(const std::vector<std::string>& calls, const std::string& operation) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), operation));
}

// Threads of a process, as the system lists them.
int ThreadCount(DWORD processId) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == processId) ++count;
    }
    ::CloseHandle(snapshot);
    return count;
}

// The tray application as the product left it running, started from the sandbox.
class RunningTray {
public:
    explicit RunningTray(const Sandbox& sandbox) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        const std::wstring program = sandbox.PathOf(L"CorvianexTray.exe");
        if (::CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                             sandbox.Dir().c_str(), &startup, &info)) {
            ::CloseHandle(info.hThread);
            process_ = info.hProcess;
        }
    }
    ~RunningTray() {
        if (!process_) return;
        if (!HasEnded()) StopTrays();
        ::CloseHandle(process_);
    }
    RunningTray(const RunningTray&) = delete;
    RunningTray& operator=(const RunningTray&) = delete;

    // Running and listening to its event.
    bool Started() const { return process_ && WaitUntil(TrayEventExists) && !HasEnded(); }
    bool HasEnded() const { return ::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }
    bool WaitForEnd() const { return ::WaitForSingleObject(process_, 10000) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    HANDLE process_ = nullptr;
};

class SaveTest : public ::testing::Test {
protected:
    void TearDown() override { StopTrays(); }

    // Engine calls since the last ClearJournal, without the tray application's own lines.
    std::vector<std::string> EngineCalls() const {
        std::vector<std::string> calls;
        for (const auto& call : sandbox.Calls()) {
            if (!IsTrayAppStep(call)) calls.push_back(call);
        }
        return calls;
    }
    std::vector<sim::JournalEntry> Entries(const char* operation) const {
        return sim::ReadJournal(sandbox.Dir(), operation);
    }
    // The record of the one call of `operation`.
    template <class Record>
    Record Sent(const char* operation) const {
        const auto entries = Entries(operation);
        EXPECT_EQ(entries.size(), 1u) << operation;
        if (entries.empty()) return Record{};
        const auto record = entries.back().template RecordArg<Record>("setting");
        EXPECT_TRUE(record.has_value()) << entries.back().line;
        return record.value_or(Record{});
    }
    void ClearJournal() const { sim::ClearJournal(sandbox.Dir()); }

    // Opens the dialog, lets `change` work it, clicks OK and waits until the host is gone;
    // its traces are then in `traces`.
    void SaveWith(const std::function<void(HWND)>& change) {
        traces.clear();
        HostProcess host(sandbox);
        HWND dialog = host.WaitForSettings();
        ASSERT_NE(dialog, nullptr);
        ClearJournal();
        change(dialog);
        host.Settle();
        Click(dialog, IDC_BTN_OK);
        ASSERT_TRUE(host.WaitForExit()) << "the dialog did not close after saving";
        EXPECT_EQ(host.ExitCode(), 0u);
        traces = host.Traces();
    }
    bool Traced(const std::string& start) const {
        return std::any_of(traces.begin(), traces.end(),
                           [&](const std::string& t) { return t.rfind(start, 0) == 0; });
    }

    // Engine state for the record tests: no tray application involved.
    void UseEngine(const std::function<void(sim::EngineState&)>& change) const {
        sim::ResetState(sandbox.Dir());
        sandbox.UpdateEngine([&](sim::EngineState& s) {
            s.snapshotSetting.bShowTrayIcon = 0;
            change(s);
        });
    }

    Sandbox sandbox{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::vector<std::string> traces;
};

// ---- The records ----------------------------------------------------------------------------

TEST_F(SaveTest, UntouchedDialogWritesTheRecordsBackWithOnlyItsOwnFields) {
    const SNAPSHOT_SETTING stored = PatternedSnapshotSetting();
    EVENT_MONITOR_SETTING events{};
    std::memset(&events, 0x5A, sizeof events);
    events.cbSize = EVENT_MONITOR_SETTING_SIZE;
    events.wFlags = 0xFFF1;  // system folder on, new programs off, foreign bits set
    events.wCycleMinutes = 60;
    UseEngine([&](sim::EngineState& s) {
        s.snapshotSetting = stored;
        s.eventMonitorSetting = events;
    });

    ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND) {}));

    EXPECT_EQ(BytesOf(Sent<SNAPSHOT_SETTING>("SetSnapshotSetting")), BytesOf(stored));
    EXPECT_EQ(BytesOf(sandbox.Engine().snapshotSetting), BytesOf(stored));
    EVENT_MONITOR_SETTING expected{};
    expected.cbSize = EVENT_MONITOR_SETTING_SIZE;
    expected.wFlags = 0x0001;
    expected.wCycleMinutes = 60;
    EXPECT_EQ(BytesOf(Sent<EVENT_MONITOR_SETTING>("SetEventMonitorSetting")), BytesOf(expected));
}

TEST_F(SaveTest, EventFlagBitsFollowTheCheckBoxes) {
    const struct {
        WORD stored;
        bool clickSystemFolder;
        bool clickNewProgram;
        WORD saved;
    } cases[] = {
        {0x0000, true, false, 0x0001}, {0x0000, false, true, 0x0002}, {0x0003, true, false, 0x0002},
        {0x0003, true, true, 0x0000},  {0xFFFC, false, true, 0x0002},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stored flags " << c.stored << ", clicks "
                                          << c.clickSystemFolder << c.clickNewProgram);
        UseEngine([&](sim::EngineState& s) { s.eventMonitorSetting.wFlags = c.stored; });
        ASSERT_NO_FATAL_FAILURE(SaveWith([&](HWND dialog) {
            if (c.clickSystemFolder) Click(dialog, IDC_CHECK_EV_SYSFOLDER);
            if (c.clickNewProgram) Click(dialog, IDC_CHECK_EV_NEWPROGRAM);
        }));
        const auto sent = Sent<EVENT_MONITOR_SETTING>("SetEventMonitorSetting");
        EXPECT_EQ(sent.wFlags, c.saved);
        // The cycle goes with the event options: its period (30) only while one is on.
        EXPECT_EQ(sent.wCycleMinutes, c.saved != 0 ? 30 : 0);
    }
}

TEST_F(SaveTest, ScheduleMinutesForEachSelection) {
    const struct {
        const char* name;
        DWORD storedMinutes;
        std::function<void(HWND)> change;
        int shownSelection;  // of the schedule list when OK is clicked
        DWORD savedEnable;
        DWORD savedMinutes;
        const char* trace;  // of the stored period; none when the schedule is off
    } cases[] = {
        {"first entry", 120, [](HWND d) { SelectComboItem(d, IDC_COMBO_SCHEDULE, 0); }, 0, 1, 15,
         "save dwCycleMinutes:15.000000, iValue:0.250000, strTemp:TIME_0, "
         "lpSetting->AutoCreate.dwCycleMinutes:15"},
        {"2 hours", 15, [](HWND d) { SelectComboItem(d, IDC_COMBO_SCHEDULE, 2); }, 2, 1, 120,
         "save dwCycleMinutes:120.000000, iValue:2.000000, strTemp:TIME_2, "
         "lpSetting->AutoCreate.dwCycleMinutes:120"},
        {"24 hours", 60, [](HWND d) { SelectComboItem(d, IDC_COMBO_SCHEDULE, 6); }, 6, 1, 1440,
         nullptr},
        {"nothing selected", 45, [](HWND) {}, -1, 1, 0,
         "save dwCycleMinutes:0.000000, iValue:0.000000, strTemp:TIME_-1, "
         "lpSetting->AutoCreate.dwCycleMinutes:0"},
        {"schedule off", 120, [](HWND d) { Click(d, IDC_CHECK_SCHEDULE); }, 2, 0, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UseEngine([&](sim::EngineState& s) {
            s.snapshotSetting.AutoCreate.bEnable = 1;
            s.snapshotSetting.AutoCreate.dwCycleMinutes = c.storedMinutes;
        });
        ASSERT_NO_FATAL_FAILURE(SaveWith([&](HWND dialog) {
            c.change(dialog);
            EXPECT_TRUE(WaitUntil(
                [&] { return ComboSelection(dialog, IDC_COMBO_SCHEDULE) == c.shownSelection; },
                5000));
        }));
        const auto sent = Sent<SNAPSHOT_SETTING>("SetSnapshotSetting");
        EXPECT_EQ(sent.AutoCreate.bEnable, c.savedEnable);
        EXPECT_EQ(sent.AutoCreate.dwCycleMinutes, c.savedMinutes);
        if (c.trace) {
            EXPECT_TRUE(Traced(c.trace)) << c.trace;
        }
        EXPECT_TRUE(Traced(" lpWnd:0x"));
        EXPECT_TRUE(Traced("Dunmore:SetEventMonitorSetting ret:0"));
    }
}

TEST_F(SaveTest, CycleMinutesForEachSelection) {
    const struct {
        const char* name;
        WORD storedMinutes;
        std::function<void(HWND)> change;
        int shownSelection;
        WORD savedMinutes;
    } cases[] = {
        {"first entry", 120, [](HWND d) { SelectComboItem(d, IDC_COMBO_EV_CYCLE, 0); }, 0, 30},
        {"4 hours", 30, [](HWND d) { SelectComboItem(d, IDC_COMBO_EV_CYCLE, 3); }, 3, 240},
        // Clearing the only event option turns the cycle off; the list keeps "1 hour".
        {"cycle off", 60, [](HWND d) { Click(d, IDC_CHECK_EV_SYSFOLDER); }, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UseEngine([&](sim::EngineState& s) {
            s.eventMonitorSetting.wFlags = 0x0001;
            s.eventMonitorSetting.wCycleMinutes = c.storedMinutes;
        });
        ASSERT_NO_FATAL_FAILURE(SaveWith([&](HWND dialog) {
            c.change(dialog);
            EXPECT_TRUE(WaitUntil(
                [&] { return ComboSelection(dialog, IDC_COMBO_EV_CYCLE) == c.shownSelection; },
                5000));
        }));
        EXPECT_EQ(Sent<EVENT_MONITOR_SETTING>("SetEventMonitorSetting").wCycleMinutes,
                  c.savedMinutes);
    }
}

TEST_F(SaveTest, NotificationFieldsFollowTheCheckBoxes) {
    const struct {
        const char* name;
        BYTE storedSuppress;
        int click;
        BYTE savedSuppress;
        DWORD savedTray;
    } cases[] = {
        {"toaster unchecked", 0, IDC_CHECK_TOASTER, 1, 0},
        {"toaster checked", 1, IDC_CHECK_TOASTER, 0, 0},
        {"tray unchecked", 0, IDC_CHECK_TRAYICON, 0, 0},  // stored with the tray shown, see below
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UseEngine([&](sim::EngineState& s) {
            s.snapshotSetting.AutoCreate.bSuppressToaster = c.storedSuppress;
            s.snapshotSetting.bShowTrayIcon = c.click == IDC_CHECK_TRAYICON ? 1 : 0;
        });
        ASSERT_NO_FATAL_FAILURE(SaveWith([&](HWND dialog) { Click(dialog, c.click); }));
        const auto sent = Sent<SNAPSHOT_SETTING>("SetSnapshotSetting");
        EXPECT_EQ(sent.AutoCreate.bSuppressToaster, c.savedSuppress);
        EXPECT_EQ(sent.bShowTrayIcon, c.savedTray);
    }
}

// ---- Order of the engine calls and restore at start-up --------------------------------------

TEST_F(SaveTest, RestoreOnArmsTheLatestSnapshotBeforeTheRecordsAreWritten) {
    const struct {
        DWORD count;
        DWORD storedChoice;  // 1 selects the first entry of the choice list, 0 the second
        DWORD index;
    } cases[] = {{5, 0, 4}, {3, 1, 2}, {0, 1, 0xFFFFFFFF}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.count << " snapshots, stored choice " << c.storedChoice);
        UseEngine([&](sim::EngineState& s) {
            s.snapshotCount = c.count;
            s.snapshotSetting.bAutoRestore = 1;
            s.snapshotSetting.dwRestoreChoice = c.storedChoice;
        });
        ASSERT_NO_FATAL_FAILURE(SaveWith([&](HWND dialog) {
            EXPECT_TRUE(Checked(dialog, IDC_CHECK_AR));
            EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_AR), c.storedChoice == 1 ? 0 : 1);
        }));

        EXPECT_EQ(EngineCalls(),
                  (std::vector<std::string>{"GetProtectState", "GetSnapshotSetting",
                                            "GetSnapshotCount", "SetBootRestore", "UnregisterTray",
                                            "SetSnapshotSetting", "SetEventMonitorSetting"}));
        const auto requests = Entries("SetBootRestore");
        ASSERT_EQ(requests.size(), 1u);
        const std::vector<BYTE>& request = requests[0].bytes;
        ASSERT_EQ(request.size(), BOOT_RESTORE_REQUEST_SIZE);
        DWORD size = 0, index = 0, choice = 0, requester = 0;
        std::memcpy(&size, &request[0], 4);
        std::memcpy(&index, &request[4], 4);
        std::memcpy(&choice, &request[8], 4);
        std::memcpy(&requester, &request[302], 4);
        EXPECT_EQ(size, BOOT_RESTORE_REQUEST_SIZE);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(choice, c.storedChoice);
        EXPECT_NE(requester, 0u);
        EXPECT_TRUE(std::all_of(request.begin() + 12, request.begin() + 302,
                                [](BYTE b) { return b == 0; }));
        const auto sent = Sent<SNAPSHOT_SETTING>("SetSnapshotSetting");
        EXPECT_EQ(sent.bAutoRestore, 1u);
        EXPECT_EQ(sent.dwRestoreChoice, c.storedChoice);
        EXPECT_TRUE(sandbox.Engine().bootRestore.armed);
        EXPECT_TRUE(Traced("SetRestore result: 0, line:"));
    }
}

TEST_F(SaveTest, RestoreOffCancelsItAndResetsTheBootEntryBeforeTheTray) {
    sandbox.UpdateEngine([](sim::EngineState& s) {
        s.snapshotSetting.bShowTrayIcon = 1;
        s.snapshotSetting.bAutoRestore = 0;
        s.bootRestore = {true, 2, 1, 0x1234};
    });

    ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND) {}));

    EXPECT_EQ(EngineCalls(),
              (std::vector<std::string>{"GetProtectState", "GetSnapshotSetting", "ClearBootRestore",
                                        "SetBootEntry", "SetBootEntry", "RegisterTray",
                                        "SetSnapshotSetting", "SetEventMonitorSetting"}));
    const auto entries = Entries("SetBootEntry");
    ASSERT_EQ(entries.size(), 2u);
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto request = entries[i].RecordArg<BOOT_ENTRY_REQUEST>("request");
        ASSERT_TRUE(request.has_value()) << entries[i].line;
        EXPECT_EQ(request->dwAction, i == 0 ? 1u : 0u);
        EXPECT_STREQ(request->szTitle, "Corvianex Recovery Environment");
    }
    const sim::EngineState state = sandbox.Engine();
    EXPECT_FALSE(state.bootRestore.armed);
    EXPECT_FALSE(state.bootEntry.present);
    EXPECT_EQ(state.snapshotSetting.bAutoRestore, 0u);
    EXPECT_TRUE(Traced("DelRestore result: 0, line:"));
}

// ---- The tray application -------------------------------------------------------------------

TEST_F(SaveTest, TrayOnStartsTheTrayApplicationAndRegistersIt) {
    sandbox.UpdateEngine([](sim::EngineState& s) {
        s.productName = L"Pyxis Guard";
        s.snapshotSetting.bShowTrayIcon = 0;
    });

    ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND dialog) { Click(dialog, IDC_CHECK_TRAYICON); }));

    ASSERT_TRUE(WaitUntil([&] { return !Entries("TrayStarted").empty(); }));
    EXPECT_TRUE(WaitUntil(TrayEventExists)) << "the tray application is not running";
    const auto started = Entries("TrayStarted");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_TRUE(SameText(started[0].Text("folder").value_or(L""), sandbox.Dir()));
    const auto registered = Entries("RegisterTray");
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(registered[0].Text("name"), std::wstring(L"Pyxis Guard Tray"));
    EXPECT_TRUE(
        SameText(registered[0].Text("path").value_or(L""), sandbox.PathOf(L"CorvianexTray.exe")));
    EXPECT_TRUE(SameText(registered[0].Text("folder").value_or(L""), sandbox.Dir()));
    EXPECT_TRUE(Entries("UnregisterTray").empty());
    EXPECT_EQ(Sent<SNAPSHOT_SETTING>("SetSnapshotSetting").bShowTrayIcon, 1u);
}

TEST_F(SaveTest, TrayOnStartsTheTrayApplicationEvenWhenOneRuns) {
    RunningTray tray(sandbox);
    ASSERT_TRUE(tray.Started());
    sandbox.UpdateEngine([](sim::EngineState& s) { s.snapshotSetting.bShowTrayIcon = 1; });

    ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND) {}));

    // The second instance finds the first one's event and leaves; the first one stays.
    EXPECT_TRUE(WaitUntil([&] { return !Entries("TrayAnotherInstance").empty(); }));
    EXPECT_EQ(Entries("TrayStarted").size(), 1u);
    EXPECT_EQ(Entries("RegisterTray").size(), 1u);
    EXPECT_FALSE(tray.HasEnded());
}

TEST_F(SaveTest, TrayOffSignalsTheRunningTrayThenUnregistersIt) {
    RunningTray tray(sandbox);
    ASSERT_TRUE(tray.Started());
    sandbox.UpdateEngine([&](sim::EngineState& s) {
        s.snapshotSetting.bShowTrayIcon = 1;
        s.tray = {true, L"Corvianex Shield Tray", sandbox.PathOf(L"CorvianexTray.exe"),
                  sandbox.Dir()};
    });

    ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND dialog) { Click(dialog, IDC_CHECK_TRAYICON); }));

    EXPECT_TRUE(tray.WaitForEnd()) << "the tray application was not told to quit";
    EXPECT_EQ(tray.ExitCode(), 0u);
    EXPECT_EQ(Entries("TraySignalled").size(), 1u);
    EXPECT_TRUE(Entries("TrayStarted").empty()) << "no new tray application is started";
    const auto unregistered = Entries("UnregisterTray");
    ASSERT_EQ(unregistered.size(), 1u);
    EXPECT_EQ(unregistered[0].Text("name"), std::wstring(L"Corvianex Shield Tray"));
    EXPECT_EQ(unregistered[0].result, 0u);
    EXPECT_TRUE(Entries("RegisterTray").empty());
    EXPECT_FALSE(sandbox.Engine().tray.registered);
    EXPECT_EQ(Sent<SNAPSHOT_SETTING>("SetSnapshotSetting").bShowTrayIcon, 0u);
}

TEST_F(SaveTest, TrayOffWithoutARunningTrayOnlyUnregisters) {
    ASSERT_FALSE(TrayEventExists());
    sandbox.UpdateEngine([](sim::EngineState& s) { s.snapshotSetting.bShowTrayIcon = 0; });

    ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND) {}));

    const auto calls = sandbox.Calls();
    EXPECT_EQ(CountOf(calls, "UnregisterTray"), 1);
    for (const char* step : kTrayAppSteps)
        EXPECT_EQ(CountOf(calls, step), 0) << step;
    EXPECT_EQ(CountOf(calls, "RegisterTray"), 0);
    EXPECT_FALSE(TrayEventExists());
}

TEST_F(SaveTest, WithoutATrayImageTheTrayIsLeftAloneAndTheSaveGoesOn) {
    sandbox.SetSetting(L"TRAY", L"IMAGE", nullptr);
    for (const DWORD trayShown : {0u, 1u}) {
        SCOPED_TRACE(trayShown ? "tray box cleared" : "tray box ticked");
        sandbox.UpdateEngine(
            [&](sim::EngineState& s) { s.snapshotSetting.bShowTrayIcon = trayShown; });

        ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND dialog) { Click(dialog, IDC_CHECK_TRAYICON); }));

        const auto calls = sandbox.Calls();
        for (const char* operation : {"RegisterTray", "UnregisterTray", "TrayStarted"}) {
            EXPECT_EQ(CountOf(calls, operation), 0) << operation;
        }
        EXPECT_EQ(Sent<SNAPSHOT_SETTING>("SetSnapshotSetting").bShowTrayIcon, trayShown ? 0u : 1u);
        EXPECT_EQ(CountOf(calls, "SetEventMonitorSetting"), 1);
    }
    EXPECT_FALSE(TrayEventExists());
}

// ---- Engine failures ------------------------------------------------------------------------

bool WritesToTheEngine(const std::string& operation) {
    return operation.rfind("Set", 0) == 0 || operation == "ClearBootRestore" ||
           operation == "RegisterTray" || operation == "UnregisterTray";
}

TEST_F(SaveTest, AFailedReadWritesNothingLogsTheCodeAndCloses) {
    const struct {
        const char* operation;
        DWORD code;
    } cases[] = {{"GetSnapshotSetting", 1117}, {"GetProtectState", 21}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        UseEngine([](sim::EngineState&) {});
        sandbox.RemoveFile(L"temp\\virget_SettingHost.exe.log");
        const sim::EngineState before = sandbox.Engine();

        ASSERT_NO_FATAL_FAILURE(SaveWith([&](HWND dialog) {
            Click(dialog, IDC_CHECK_TOASTER);
            sandbox.FailEngine(c.operation, c.code);
        }));

        for (const auto& call : sandbox.Calls())
            EXPECT_FALSE(WritesToTheEngine(call)) << call;
        sandbox.FailEngine(c.operation, 0);
        EXPECT_EQ(sandbox.Engine(), before);
        const auto log = sandbox.LogLines();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find(L"Error = " + std::to_wstring(c.code) + L" "), std::wstring::npos)
            << std::string(log[0].begin(), log[0].end());
    }
}

TEST_F(SaveTest, AFailedEventWriteKeepsTheSnapshotSettingsLogsAndCloses) {
    UseEngine([](sim::EngineState& s) { s.snapshotSetting.AutoCreate.bSuppressToaster = 0; });
    const EVENT_MONITOR_SETTING storedEvents = sandbox.Engine().eventMonitorSetting;

    ASSERT_NO_FATAL_FAILURE(SaveWith([&](HWND dialog) {
        Click(dialog, IDC_CHECK_TOASTER);
        Click(dialog, IDC_CHECK_EV_SYSFOLDER);
        sandbox.FailEngine("SetEventMonitorSetting", 1359);
    }));

    const sim::EngineState state = sandbox.Engine();
    EXPECT_EQ(state.snapshotSetting.AutoCreate.bSuppressToaster, 1);
    EXPECT_EQ(BytesOf(state.eventMonitorSetting), BytesOf(storedEvents));
    const auto events = Entries("SetEventMonitorSetting");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].result, 1359u);
    const auto log = sandbox.LogLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(L"Error = 1359 "), std::wstring::npos);
}

// ---- The waiting box ------------------------------------------------------------------------

TEST_F(SaveTest, WaitingBoxIsModalAndAnimatesWhileTheEngineWorks) {
    sandbox.SetSetting(L"SETTING", L"IDC_SAVESET", L"Saving");
    UseEngine([](sim::EngineState&) {});
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    sandbox.DelayEngine("SetSnapshotSetting", 4000);

    Click(dialog, IDC_BTN_OK);
    HWND box = host.WaitForDialogWith(IDC_STATIC_WAIT, 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), dialog);
    EXPECT_FALSE(::IsWindowEnabled(dialog)) << "the settings dialog must not take input";

    // Enter, Escape and Alt+F4 do not close it.
    BringToFront(box);
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    PressKey(VK_F4, {VK_MENU});
    host.Settle();
    EXPECT_TRUE(::IsWindow(box) && ::IsWindowVisible(box));

    // The text, followed by one, two and three dots in turn.
    std::set<size_t> dots;
    std::wstring odd;
    WaitUntil(
        [&] {
            const std::wstring text = Text(box, IDC_STATIC_WAIT);
            if (!::IsWindow(box)) return true;
            const size_t count =
                text.size() - std::min(text.find_last_not_of(L'.') + 1, text.size());
            if (text.compare(0, 6, L"Saving") != 0 || text.size() - count != 6) odd = text;
            if (count > 0) dots.insert(count);
            return dots.size() == 3;
        },
        5000);
    EXPECT_EQ(dots, (std::set<size_t>{1, 2, 3}));
    EXPECT_TRUE(odd.empty()) << std::string(odd.begin(), odd.end());

    // Gone once the engine has answered; the settings dialog goes with it.
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 10000));
    ASSERT_TRUE(host.WaitForExit());
    EXPECT_EQ(host.ExitCode(), 0u);
    EXPECT_EQ(Entries("SetSnapshotSetting").size(), 1u);
}

// The same box while protection is switched on: the settings dialog stays open afterwards,
// so a dot animation that outlived the box would still be running in the host.
TEST_F(SaveTest, WaitingBoxStopsItsAnimationWhenItCloses) {
    UseEngine([](sim::EngineState& s) { s.protectOn = false; });
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    const int threadsBefore = ThreadCount(host.Id());
    ASSERT_GT(threadsBefore, 0);
    sandbox.DelayEngine("EnableProtect", 1500);

    Click(dialog, IDC_CHECK_PROTECT);
    HWND box = host.WaitForDialogWith(IDC_STATIC_WAIT, 5000);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 10000));

    // The switch's worker ends by itself; the animation thread must have ended with the box.
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount(host.Id()) <= threadsBefore; }, 5000))
        << ThreadCount(host.Id()) << " threads, " << threadsBefore << " before";
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    EXPECT_EQ(host.FindDialogWith(IDC_STATIC_WAIT), nullptr);
    host.Kill();
}

// ---- What the next opening shows ------------------------------------------------------------

TEST_F(SaveTest, NextOpeningShowsTheSavedValues) {
    UseEngine([](sim::EngineState&) {});
    ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND dialog) {
        SelectComboItem(dialog, IDC_COMBO_SCHEDULE, 3);  // 4 hours
        Click(dialog, IDC_CHECK_TOASTER);                // off
        Click(dialog, IDC_CHECK_EV_SYSFOLDER);           // off
        Click(dialog, IDC_CHECK_EV_NEWPROGRAM);          // on: the cycle stays on
        SelectComboItem(dialog, IDC_COMBO_EV_CYCLE, 4);  // 6 hours
    }));
    {
        HostProcess host(sandbox);
        HWND dialog = host.WaitForSettings();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(Checked(dialog, IDC_CHECK_SCHEDULE));
        EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_SCHEDULE), 3);
        EXPECT_FALSE(Checked(dialog, IDC_CHECK_TOASTER));
        EXPECT_FALSE(Checked(dialog, IDC_CHECK_TRAYICON));
        EXPECT_FALSE(Checked(dialog, IDC_CHECK_EV_SYSFOLDER));
        EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_NEWPROGRAM));
        EXPECT_TRUE(Checked(dialog, IDC_CHECK_EV_CYCLE));
        EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_EV_CYCLE), 4);
        EXPECT_FALSE(Checked(dialog, IDC_CHECK_AR));
        host.Kill();
    }

    // Restore at start-up with the second choice; it clears every snapshot option.
    ASSERT_NO_FATAL_FAILURE(SaveWith([](HWND dialog) {
        Click(dialog, IDC_CHECK_AR);
        SelectComboItem(dialog, IDC_COMBO_AR, 1);
    }));
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Checked(dialog, IDC_CHECK_AR));
    EXPECT_EQ(ComboSelection(dialog, IDC_COMBO_AR), 1);
    for (const int id : {IDC_CHECK_SCHEDULE, IDC_CHECK_EV_SYSFOLDER, IDC_CHECK_EV_NEWPROGRAM,
                         IDC_CHECK_EV_CYCLE}) {
        EXPECT_FALSE(Checked(dialog, id)) << id;
        EXPECT_FALSE(Enabled(dialog, id)) << id;
    }
    host.Kill();
}

// ---- The hidden Apply button ----------------------------------------------------------------

TEST_F(SaveTest, ApplySavesLikeOkAndCloses) {
    UseEngine([](sim::EngineState& s) { s.snapshotSetting.AutoCreate.bSuppressToaster = 0; });
    HostProcess host(sandbox);
    HWND dialog = host.WaitForSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(Visible(dialog, IDC_BTN_APPLY));
    EXPECT_FALSE(Enabled(dialog, IDC_BTN_APPLY));
    ClearJournal();

    Click(dialog, IDC_CHECK_TOASTER);  // any option enables Apply
    ASSERT_TRUE(WaitUntil([&] { return Enabled(dialog, IDC_BTN_APPLY); }, 5000));
    EXPECT_FALSE(Visible(dialog, IDC_BTN_APPLY));
    Click(dialog, IDC_BTN_APPLY);

    ASSERT_TRUE(host.WaitForExit()) << "the dialog did not close after Apply";
    EXPECT_EQ(EngineCalls(),
              (std::vector<std::string>{"GetProtectState", "GetSnapshotSetting", "ClearBootRestore",
                                        "SetBootEntry", "SetBootEntry", "UnregisterTray",
                                        "SetSnapshotSetting", "SetEventMonitorSetting"}));
    EXPECT_EQ(Sent<SNAPSHOT_SETTING>("SetSnapshotSetting").AutoCreate.bSuppressToaster, 1);
}

}  // namespace
