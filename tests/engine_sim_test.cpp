// The simulated engine as its callers see it: Pellucid.dll and Marrowick.dll loaded and
// called by ordinal, their state and journal read back through the sim library.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "Marrowick.h"
#include "Pellucid.h"
#include "SimJournal.h"
#include "SimState.h"

namespace {

// A fresh folder for one test, named in PELLUCIDSIM_FOLDER so that the stand-ins use it
// instead of the test program's folder. Removed with its files afterwards.
class TempStateFolder {
public:
    TempStateFolder() {
        static int counter = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"PellucidSimTest-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter);
        CreateDirectoryW(path_.c_str(), nullptr);
        SetEnvironmentVariableW(sim::kFolderVariable, path_.c_str());
    }
    ~TempStateFolder() {
        SetEnvironmentVariableW(sim::kFolderVariable, nullptr);
        DeleteFileW(sim::JoinPath(path_, sim::kStateFileName).c_str());
        DeleteFileW(sim::JoinPath(path_, sim::kJournalFileName).c_str());
        RemoveDirectoryW(path_.c_str());
    }
    TempStateFolder(const TempStateFolder&) = delete;
    TempStateFolder& operator=(const TempStateFolder&) = delete;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// A library from the test program's folder (the host folder), freed at the end.
class Library {
public:
    explicit Library(const wchar_t* name)
        : module_(LoadLibraryW(sim::JoinPath(sim::ExecutableFolder(), name).c_str())) {}
    ~Library() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool Loaded() const { return module_ != nullptr; }

    // The export at `ordinal`, typed like the header's declaration.
    template <class Function>
    Function At(WORD ordinal) const {
        const FARPROC proc = GetProcAddress(module_, MAKEINTRESOURCEA(ordinal));
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
    }

private:
    HMODULE module_;
};

// The engine's operations, resolved by ordinal only, as the settings module imports them.
struct Engine {
    explicit Engine(const Library& l)
        : getProtectState(l.At<decltype(&::GetProtectState)>(2)),
          getSnapshotCount(l.At<decltype(&::GetSnapshotCount)>(3)),
          enableProtect(l.At<decltype(&::EnableProtect)>(5)),
          disableProtect(l.At<decltype(&::DisableProtect)>(6)),
          setBootRestore(l.At<decltype(&::SetBootRestore)>(8)),
          getSnapshotSetting(l.At<decltype(&::GetSnapshotSetting)>(20)),
          setSnapshotSetting(l.At<decltype(&::SetSnapshotSetting)>(21)),
          getEventMonitorSetting(l.At<decltype(&::GetEventMonitorSetting)>(22)),
          setEventMonitorSetting(l.At<decltype(&::SetEventMonitorSetting)>(23)),
          getProductInfo(l.At<decltype(&::PellucidGetProductInfo)>(30)),
          getSpaceUsage(l.At<decltype(&::GetSpaceUsage)>(31)),
          registerTray(l.At<decltype(&::RegisterTray)>(32)),
          unregisterTray(l.At<decltype(&::UnregisterTray)>(33)),
          getPassword(l.At<decltype(&::GetCvxPassWord)>(36)),
          setPassword(l.At<decltype(&::SetCvxPassWord)>(37)),
          clearBootRestore(l.At<decltype(&::ClearBootRestore)>(38)) {}

    decltype(&::GetProtectState) getProtectState;
    decltype(&::GetSnapshotCount) getSnapshotCount;
    decltype(&::EnableProtect) enableProtect;
    decltype(&::DisableProtect) disableProtect;
    decltype(&::SetBootRestore) setBootRestore;
    decltype(&::GetSnapshotSetting) getSnapshotSetting;
    decltype(&::SetSnapshotSetting) setSnapshotSetting;
    decltype(&::GetEventMonitorSetting) getEventMonitorSetting;
    decltype(&::SetEventMonitorSetting) setEventMonitorSetting;
    decltype(&::PellucidGetProductInfo) getProductInfo;
    decltype(&::GetSpaceUsage) getSpaceUsage;
    decltype(&::RegisterTray) registerTray;
    decltype(&::UnregisterTray) unregisterTray;
    decltype(&::GetCvxPassWord) getPassword;
    decltype(&::SetCvxPassWord) setPassword;
    decltype(&::ClearBootRestore) clearBootRestore;
};

class EngineSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pellucid_.Loaded());
        ASSERT_TRUE(marrowick_.Loaded());
        ASSERT_NE(engine_.getProtectState, nullptr);
        ASSERT_NE(engine_.clearBootRestore, nullptr);
        ASSERT_NE(setBootEntry_, nullptr);
    }

    const std::wstring& Folder() const { return folder_.Path(); }
    sim::EngineState State() const { return sim::ReadState(Folder()); }
    std::vector<sim::JournalEntry> Journal() const { return sim::ReadJournal(Folder()); }
    sim::JournalEntry LastEntry() const {
        const auto entries = Journal();
        return entries.empty() ? sim::JournalEntry{} : entries.back();
    }

    TempStateFolder folder_;
    Library pellucid_{L"Pellucid.dll"};
    Library marrowick_{L"Marrowick.dll"};
    Engine engine_{pellucid_};
    decltype(&::SetBootEntry) setBootEntry_ = marrowick_.At<decltype(&::SetBootEntry)>(25);
};

SNAPSHOT_SETTING SnapshotRecord() {
    SNAPSHOT_SETTING setting{};
    setting.cbSize = SNAPSHOT_SETTING_SIZE;
    return setting;
}

EVENT_MONITOR_SETTING EventRecord() {
    EVENT_MONITOR_SETTING setting{};
    setting.cbSize = EVENT_MONITOR_SETTING_SIZE;
    return setting;
}

BOOT_ENTRY_REQUEST BootEntryRequest(DWORD action) {
    BOOT_ENTRY_REQUEST request{};
    request.bType = 2;
    request.bFlags = 0x20;
    request.bVersion = 3;
    request.dwAction = action;
    std::strcpy(request.szTitle, BOOT_ENTRY_TITLE);
    return request;
}

template <class Record>
std::vector<BYTE> BytesOf(const Record& record) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&record);
    return std::vector<BYTE>(bytes, bytes + sizeof(Record));
}

// ---- The state file -----------------------------------------------------------------------

TEST(SimStateFile, FirstUseCreatesTheDefaults) {
    const TempStateFolder folder;
    const sim::EngineState state = sim::ReadState(folder.Path());

    EXPECT_EQ(state, sim::EngineState{});
    EXPECT_NE(GetFileAttributesW(sim::JoinPath(folder.Path(), sim::kStateFileName).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(state.protectOn);
    EXPECT_EQ(state.snapshotCount, 3u);
    EXPECT_EQ(state.productName, L"Corvianex Shield");
    EXPECT_EQ(state.productCaption, L"Corvianex Shield 5");
    EXPECT_DOUBLE_EQ((state.spaceUsage.dwTotal - state.spaceUsage.dwFree) / 1048576.0, 1247.25);
    EXPECT_DOUBLE_EQ(state.spaceUsage.dwTotal / 1048576.0, 3200.0);
    EXPECT_EQ(state.snapshotSetting.cbSize, SNAPSHOT_SETTING_SIZE);
    EXPECT_EQ(state.snapshotSetting.AutoCreate.bEnable, 1u);
    EXPECT_EQ(state.snapshotSetting.AutoCreate.dwCycleMinutes, 120u);
    EXPECT_EQ(state.snapshotSetting.AutoCreate.bSuppressToaster, 0);
    EXPECT_EQ(state.snapshotSetting.bShowTrayIcon, 1u);
    EXPECT_EQ(state.snapshotSetting.bAutoRestore, 0u);
    EXPECT_EQ(state.snapshotSetting.dwRestoreChoice, 1u);
    EXPECT_EQ(state.eventMonitorSetting.cbSize, EVENT_MONITOR_SETTING_SIZE);
    EXPECT_EQ(state.eventMonitorSetting.wFlags, 0x0001);
    EXPECT_EQ(state.eventMonitorSetting.wCycleMinutes, 30);
    EXPECT_TRUE(state.password.empty());
    EXPECT_FALSE(state.bootEntry.present);
    EXPECT_FALSE(state.bootRestore.armed);
    EXPECT_FALSE(state.tray.registered);
}

TEST(SimStateFile, EveryFieldSurvivesAWriteAndARead) {
    const TempStateFolder folder;
    sim::EngineState state;
    state.protectOn = false;
    state.snapshotCount = 0;
    state.productName = L"Pr\u00f6dukt \"X\" \\ \u4e2d";
    state.productCaption = L"";
    state.password = std::string("p\\w\"d\x01\xE9\xFF", 8);
    state.spaceUsage = {0xFFFFFFFF, 0};
    for (size_t i = 0; i < sizeof state.snapshotSetting; ++i) {
        reinterpret_cast<BYTE*>(&state.snapshotSetting)[i] = static_cast<BYTE>(i * 7 + 1);
    }
    std::memset(state.eventMonitorSetting.reserved, 0xAB,
                sizeof state.eventMonitorSetting.reserved);
    state.bootRestore = {true, 0xFFFFFFFF, 0, 0x00A1B2C8};
    state.bootEntry = {true, BOOT_ENTRY_TITLE};
    state.tray = {true, L"Corvianex Shield Tray", L"C:\\Prod\\CorvianexTray.exe", L"C:\\Prod"};
    state.failures["GetSnapshotSetting"] = 5;
    state.delays["SetBootEntry"] = 20;
    state.tessinit = {0, L"TRUE ", 1000, 2000};

    sim::WriteState(folder.Path(), state);

    EXPECT_EQ(sim::ReadState(folder.Path()), state);
    EXPECT_EQ(sim::ParseState(sim::FormatState(state)), state);
}

TEST(SimStateFile, HandWrittenValuesAreRead) {
    const sim::EngineState state = sim::ParseState(
        "[engine]\n"
        "ProtectState = 0\n"
        "ProductName = Plain Name\n"
        "Password = \"a\\x80b\"\n"
        "[SpaceUsage]\n"
        "Total = 0x00A00000\n"
        "[SnapshotSetting]\n"
        "000 = 87 00 00 00  01000000\n"
        "071 = 01 00 00 00\n"
        "[Fail]\n"
        "setsnapshotsetting = 31\n"
        "[Tessinit]\n"
        "InitNvOk = <absent>\n");

    EXPECT_FALSE(state.protectOn);
    EXPECT_EQ(state.productName, L"Plain Name");
    EXPECT_EQ(state.password,
              "a\x80"
              "b");
    EXPECT_EQ(state.spaceUsage.dwTotal, 10485760u);
    EXPECT_EQ(state.spaceUsage.dwFree, sim::EngineState{}.spaceUsage.dwFree);
    EXPECT_EQ(state.snapshotSetting.cbSize, SNAPSHOT_SETTING_SIZE);
    EXPECT_EQ(state.snapshotSetting.AutoCreate.bEnable, 1u);
    EXPECT_EQ(state.snapshotSetting.AutoCreate.dwCycleMinutes,
              0u);  // a present record starts at zero
    EXPECT_EQ(state.snapshotSetting.bShowTrayIcon, 1u);
    EXPECT_EQ(state.FailureFor("SetSnapshotSetting"), 31u);
    EXPECT_EQ(state.tessinit.initNvOk, sim::kFlagAbsent);
    EXPECT_EQ(state.eventMonitorSetting.wCycleMinutes, 30);  // absent record: the default
}

TEST(SimStateFile, FailuresAndDelaysAreSetAndCleared) {
    const TempStateFolder folder;
    sim::SetFailure(folder.Path(), "EnableProtect", 1234);
    sim::SetDelay(folder.Path(), "EnableProtect", 15);
    EXPECT_EQ(sim::ReadState(folder.Path()).FailureFor("enableprotect"), 1234u);
    EXPECT_EQ(sim::ReadState(folder.Path()).DelayFor("EnableProtect"), 15u);

    sim::SetFailure(folder.Path(), "EnableProtect", 0);
    sim::SetDelay(folder.Path(), "EnableProtect", 0);
    EXPECT_TRUE(sim::ReadState(folder.Path()).failures.empty());
    EXPECT_TRUE(sim::ReadState(folder.Path()).delays.empty());
}

// ---- The journal --------------------------------------------------------------------------

TEST(SimJournal, ALineIsParsedIntoItsParts) {
    const sim::JournalEntry entry = sim::ParseJournalLine(
        "2025-01-31 09:15:02.481 [32:48] RegisterTray(name=\"a, b) = 1\", "
        "path=\"C:\\\\x\\\\y.exe\", folder=NULL) = 87");

    EXPECT_EQ(entry.time, "2025-01-31 09:15:02.481");
    EXPECT_EQ(entry.processId, 32u);
    EXPECT_EQ(entry.threadId, 48u);
    EXPECT_EQ(entry.operation, "RegisterTray");
    EXPECT_EQ(entry.result, 87u);
    EXPECT_EQ(entry.Text("name"), L"a, b) = 1");
    EXPECT_EQ(entry.Text("path"), L"C:\\x\\y.exe");
    EXPECT_EQ(entry.Argument("folder"), "NULL");
    EXPECT_FALSE(entry.hasBytes);
}

TEST(SimJournal, ClearingEmptiesIt) {
    const TempStateFolder folder;
    sim::AppendJournal(folder.Path(), sim::CallLine("Probe").Number("n", 1).Finish(0));
    ASSERT_EQ(sim::ReadJournal(folder.Path()).size(), 1u);

    sim::ClearJournal(folder.Path());

    EXPECT_TRUE(sim::ReadJournal(folder.Path()).empty());
}

// ---- Pellucid.dll -------------------------------------------------------------------------

TEST_F(EngineSimTest, NothingHappensAtLoad) {
    EXPECT_EQ(GetFileAttributesW(sim::JoinPath(Folder(), sim::kStateFileName).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(sim::JoinPath(Folder(), sim::kJournalFileName).c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST_F(EngineSimTest, SnapshotSettingRoundTripKeepsEveryByte) {
    SNAPSHOT_SETTING written = SnapshotRecord();
    written.AutoCreate.bEnable = 1;
    written.AutoCreate.dwCycleMinutes = 15;
    written.bAutoRestore = 1;
    std::memset(written.reserved3, 0x5A, sizeof written.reserved3);
    written.reserved4[51] = 0xEE;

    ASSERT_EQ(engine_.setSnapshotSetting(&written, SNAPSHOT_SETTING_SIZE), 0u);
    SNAPSHOT_SETTING read = SnapshotRecord();
    ASSERT_EQ(engine_.getSnapshotSetting(&read, SNAPSHOT_SETTING_SIZE), 0u);

    EXPECT_EQ(BytesOf(read), BytesOf(written));
    EXPECT_EQ(BytesOf(State().snapshotSetting), BytesOf(written));
    const auto entries = Journal();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].operation, "SetSnapshotSetting");
    EXPECT_EQ(entries[0].bytes, BytesOf(written));
    EXPECT_EQ(entries[0].Number("size"), SNAPSHOT_SETTING_SIZE);
    EXPECT_EQ(entries[1].operation, "GetSnapshotSetting");
    EXPECT_EQ(entries[1].bytes, BytesOf(written));
    EXPECT_EQ(entries[1].result, 0u);
}

TEST_F(EngineSimTest, EventMonitorSettingRoundTrip) {
    EVENT_MONITOR_SETTING written = EventRecord();
    written.wFlags = EVENT_FLAG_SNAPSHOT_ON_INSTALL;
    written.wCycleMinutes = 120;

    ASSERT_EQ(engine_.setEventMonitorSetting(&written, EVENT_MONITOR_SETTING_SIZE), 0u);
    EVENT_MONITOR_SETTING read = EventRecord();
    ASSERT_EQ(engine_.getEventMonitorSetting(&read, EVENT_MONITOR_SETTING_SIZE), 0u);

    EXPECT_EQ(BytesOf(read), BytesOf(written));
    EXPECT_EQ(LastEntry().RecordArg<EVENT_MONITOR_SETTING>("setting")->wCycleMinutes, 120);
}

TEST_F(EngineSimTest, GetRejectsAWrongSizeOrNullAndWritesNothing) {
    SNAPSHOT_SETTING setting = SnapshotRecord();
    std::memset(&setting.AutoCreate, 0xCC, sizeof setting - sizeof setting.cbSize);
    const std::vector<BYTE> before = BytesOf(setting);

    EXPECT_EQ(engine_.getSnapshotSetting(&setting, SNAPSHOT_SETTING_SIZE - 1), 87u);
    EXPECT_EQ(engine_.getSnapshotSetting(&setting, SNAPSHOT_SETTING_SIZE + 1), 87u);
    EXPECT_EQ(engine_.getSnapshotSetting(nullptr, SNAPSHOT_SETTING_SIZE), 87u);
    EVENT_MONITOR_SETTING event = EventRecord();
    EXPECT_EQ(engine_.getEventMonitorSetting(&event, 47), 87u);

    EXPECT_EQ(BytesOf(setting), before);
    const auto entries = Journal();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Argument("setting"), "(not filled)");
    EXPECT_EQ(entries[0].Number("size"), SNAPSHOT_SETTING_SIZE - 1);
    EXPECT_EQ(entries[2].Argument("setting"), "NULL");
    EXPECT_EQ(entries[3].operation, "GetEventMonitorSetting");
    EXPECT_EQ(entries[3].result, 87u);
}

TEST_F(EngineSimTest, SetRejectsAWrongSizeAndKeepsTheState) {
    SNAPSHOT_SETTING setting = SnapshotRecord();

    EXPECT_EQ(engine_.setSnapshotSetting(&setting, 100), 87u);
    EXPECT_EQ(engine_.setSnapshotSetting(nullptr, SNAPSHOT_SETTING_SIZE), 87u);

    EXPECT_EQ(BytesOf(State().snapshotSetting), BytesOf(sim::DefaultSnapshotSetting()));
    EXPECT_EQ(Journal().front().Argument("setting"), "(not read)");
}

TEST_F(EngineSimTest, AForcedFailureChangesNothingAndIsJournaled) {
    sim::SetFailure(Folder(), "SetSnapshotSetting", 1117);
    sim::SetFailure(Folder(), "GetProtectState", 21);
    SNAPSHOT_SETTING setting = SnapshotRecord();
    DWORD protect = 0xDEADBEEF;

    EXPECT_EQ(engine_.setSnapshotSetting(&setting, SNAPSHOT_SETTING_SIZE), 1117u);
    EXPECT_EQ(engine_.getProtectState(&protect), 21u);

    EXPECT_EQ(protect, 0xDEADBEEF);
    EXPECT_EQ(BytesOf(State().snapshotSetting), BytesOf(sim::DefaultSnapshotSetting()));
    const auto entries = Journal();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].result, 1117u);
    EXPECT_EQ(entries[0].bytes, BytesOf(setting));
    EXPECT_EQ(entries[1].Argument("state"), "(not filled)");

    sim::SetFailure(Folder(), "SetSnapshotSetting", 0);
    EXPECT_EQ(engine_.setSnapshotSetting(&setting, SNAPSHOT_SETTING_SIZE), 0u);
}

TEST_F(EngineSimTest, ADelayedCallStillSucceeds) {
    sim::SetDelay(Folder(), "GetSnapshotCount", 1);
    DWORD count = 0;

    EXPECT_EQ(engine_.getSnapshotCount(&count), 0u);

    EXPECT_EQ(count, 3u);
    EXPECT_EQ(LastEntry().Number("count"), 3u);
}

TEST_F(EngineSimTest, ProtectionIsSwitched) {
    DWORD state = 0;
    ASSERT_EQ(engine_.disableProtect(), 0u);
    ASSERT_EQ(engine_.getProtectState(&state), 0u);
    EXPECT_EQ(state, 0u);

    ASSERT_EQ(engine_.enableProtect(), 0u);
    ASSERT_EQ(engine_.getProtectState(&state), 0u);
    EXPECT_NE(state, 0u);
    EXPECT_EQ(engine_.getProtectState(nullptr), 87u);
}

TEST_F(EngineSimTest, ProductInfoFillsNameAndCaption) {
    std::vector<BYTE> buffer(PRODUCT_INFO_SIZE, 0xCC);
    auto* info = reinterpret_cast<PRODUCT_INFO*>(buffer.data());

    ASSERT_EQ(engine_.getProductInfo(info, PRODUCT_INFO_SIZE), 0u);

    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(buffer.data() + 16), L"Corvianex Shield");
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(buffer.data() + 536), L"Corvianex Shield 5");
    EXPECT_EQ(LastEntry().Text("name"), L"Corvianex Shield");
    EXPECT_EQ(engine_.getProductInfo(info, PRODUCT_INFO_SIZE - 2), 87u);
}

TEST_F(EngineSimTest, SpaceUsageComesFromTheState) {
    sim::UpdateState(Folder(), [](sim::EngineState& s) { s.spaceUsage = {10485760, 5242880}; });
    SPACE_USAGE usage{};

    ASSERT_EQ(engine_.getSpaceUsage(&usage, SPACE_USAGE_SIZE), 0u);

    EXPECT_EQ(usage.dwTotal, 10485760u);
    EXPECT_EQ(usage.dwFree, 5242880u);
    EXPECT_EQ(engine_.getSpaceUsage(&usage, 4), 87u);
}

TEST_F(EngineSimTest, BootRestoreIsArmedAndCleared) {
    BOOT_RESTORE_REQUEST request{};
    request.cbSize = BOOT_RESTORE_REQUEST_SIZE;
    request.dwSnapshotIndex = 2;
    request.dwChoice = 1;
    request.dwRequester = 0x00A1B2C8;
    SNAPSHOT_SETTING setting = sim::DefaultSnapshotSetting();
    setting.bAutoRestore = 1;
    ASSERT_EQ(engine_.setSnapshotSetting(&setting, SNAPSHOT_SETTING_SIZE), 0u);

    ASSERT_EQ(engine_.setBootRestore(&request), 0u);
    const sim::BootRestore armed = State().bootRestore;
    EXPECT_TRUE(armed.armed);
    EXPECT_EQ(armed.snapshotIndex, 2u);
    EXPECT_EQ(armed.choice, 1u);
    EXPECT_EQ(armed.requester, 0x00A1B2C8u);
    EXPECT_EQ(LastEntry().bytes, BytesOf(request));
    EXPECT_EQ(LastEntry().Number("requester"), 0x00A1B2C8u);

    ASSERT_EQ(engine_.clearBootRestore(), 0u);
    EXPECT_FALSE(State().bootRestore.armed);
    EXPECT_EQ(State().snapshotSetting.bAutoRestore, 1u);  // the record is the caller's business
}

TEST_F(EngineSimTest, PasswordIsStoredShownAndRemoved) {
    ASSERT_EQ(engine_.setPassword("s3cret\xE9"), 0u);
    char buffer[PASSWORD_BUFFER_SIZE];
    std::memset(buffer, 'x', sizeof buffer);

    ASSERT_EQ(engine_.getPassword(buffer), 0u);

    EXPECT_STREQ(buffer, "s3cret\xE9");
    const sim::JournalEntry entry = LastEntry();
    EXPECT_EQ(entry.Ansi("password"), "s3cret\xE9");
    EXPECT_EQ(entry.bytes, (std::vector<BYTE>{'s', '3', 'c', 'r', 'e', 't', 0xE9}));
    EXPECT_NE(entry.line.find("\"s3cret\\xE9\" {73336372 6574E9}"), std::string::npos);

    ASSERT_EQ(engine_.setPassword(""), 0u);
    EXPECT_TRUE(State().password.empty());
    ASSERT_EQ(engine_.getPassword(buffer), 0u);
    EXPECT_STREQ(buffer, "");
}

TEST_F(EngineSimTest, AnOverlongPasswordIsRejected) {
    const std::string tooLong(PASSWORD_BUFFER_SIZE, 'a');

    EXPECT_EQ(engine_.setPassword(tooLong.c_str()), 87u);
    EXPECT_EQ(engine_.setPassword(tooLong.substr(1).c_str()), 0u);
}

TEST_F(EngineSimTest, TrayRegistrationIsRecorded) {
    ASSERT_EQ(engine_.registerTray(L"Corvianex Shield Tray", L"C:\\P\\CorvianexTray.exe", L"C:\\P"),
              0u);
    const sim::TrayRegistration tray = State().tray;
    EXPECT_TRUE(tray.registered);
    EXPECT_EQ(tray.path, L"C:\\P\\CorvianexTray.exe");
    EXPECT_EQ(LastEntry().Text("folder"), L"C:\\P");

    EXPECT_EQ(engine_.unregisterTray(L"Other"), static_cast<DWORD>(ERROR_NOT_FOUND));
    EXPECT_EQ(engine_.unregisterTray(L"Corvianex Shield Tray"), 0u);
    EXPECT_FALSE(State().tray.registered);
}

// ---- Marrowick.dll ------------------------------------------------------------------------

TEST_F(EngineSimTest, BootEntryIsSetAndCleared) {
    BOOT_ENTRY_REQUEST set = BootEntryRequest(1);
    ASSERT_EQ(setBootEntry_(&set), 0u);
    EXPECT_TRUE(State().bootEntry.present);
    EXPECT_EQ(State().bootEntry.title, BOOT_ENTRY_TITLE);
    const sim::JournalEntry entry = LastEntry();
    EXPECT_EQ(entry.operation, "SetBootEntry");
    EXPECT_EQ(entry.bytes, BytesOf(set));
    EXPECT_EQ(entry.Number("action"), 1u);
    EXPECT_EQ(entry.Ansi("title"), BOOT_ENTRY_TITLE);

    BOOT_ENTRY_REQUEST clear = BootEntryRequest(0);
    ASSERT_EQ(setBootEntry_(&clear), 0u);
    EXPECT_FALSE(State().bootEntry.present);
}

TEST_F(EngineSimTest, AMalformedBootEntryRequestIsRejected) {
    BOOT_ENTRY_REQUEST request = BootEntryRequest(1);
    request.bVersion = 2;

    EXPECT_EQ(setBootEntry_(&request), 87u);
    EXPECT_EQ(setBootEntry_(nullptr), 87u);

    EXPECT_FALSE(State().bootEntry.present);
}

TEST_F(EngineSimTest, BootEntryFailureIsForced) {
    sim::SetFailure(Folder(), "SetBootEntry", 1450);
    BOOT_ENTRY_REQUEST request = BootEntryRequest(1);

    EXPECT_EQ(setBootEntry_(&request), 1450u);

    EXPECT_FALSE(State().bootEntry.present);
    EXPECT_EQ(LastEntry().result, 1450u);
}

// ---- Concurrency --------------------------------------------------------------------------

TEST_F(EngineSimTest, ConcurrentCallersNeverInterleaveLines) {
    constexpr int kThreads = 4;
    constexpr int kCalls = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < kCalls; ++i) {
                EVENT_MONITOR_SETTING setting = EventRecord();
                setting.wCycleMinutes = static_cast<WORD>(t * 100 + i);
                engine_.setEventMonitorSetting(&setting, EVENT_MONITOR_SETTING_SIZE);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }

    const auto entries = Journal();  // throws on a torn line
    ASSERT_EQ(entries.size(), static_cast<size_t>(kThreads * kCalls));
    for (const sim::JournalEntry& entry : entries) {
        EXPECT_EQ(entry.result, 0u);
        EXPECT_EQ(entry.bytes.size(), EVENT_MONITOR_SETTING_SIZE);
    }
    // The state holds what the journal's last line wrote: both follow one order.
    EXPECT_EQ(BytesOf(State().eventMonitorSetting), entries.back().bytes);
}

}  // namespace
