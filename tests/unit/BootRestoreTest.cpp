// Restore at start-up and the recovery boot entry, called in-process: what is handed back or
// logged when the engine refuses, including answers the simulated engine cannot give (an
// output written by a failing call, a different result for each of two calls). The requests
// themselves are checked byte for byte through the dialog (SaveTest, SwitchTest).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "EngineRecords.h"
#include "ImportPatch.h"
#include "SettingDlg.h"
#include "SimJournal.h"
#include "SimState.h"
#include "TempFolder.h"

namespace {

constexpr DWORD kRequester = 0x00A1B2C8;

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH * 2] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH * 2);
    return length > 0 && length < MAX_PATH * 2 ? value : L"";
}

// A folder of the test's own: the simulated engine keeps its state and journal there, and the
// module writes its log there (it is this process's temporary folder meanwhile).
class EngineFolder {
public:
    EngineFolder()
        : folder_(L"BootRestoreTest"),
          oldTmp_(EnvironmentValue(L"TMP")),
          oldTemp_(EnvironmentValue(L"TEMP")) {
        ::SetEnvironmentVariableW(sim::kFolderVariable, folder_.Dir().c_str());
        ::SetEnvironmentVariableW(L"TMP", folder_.Dir().c_str());
        ::SetEnvironmentVariableW(L"TEMP", folder_.Dir().c_str());
    }
    ~EngineFolder() {
        ::SetEnvironmentVariableW(sim::kFolderVariable, nullptr);
        ::SetEnvironmentVariableW(L"TMP", oldTmp_.empty() ? nullptr : oldTmp_.c_str());
        ::SetEnvironmentVariableW(L"TEMP", oldTemp_.empty() ? nullptr : oldTemp_.c_str());
    }
    EngineFolder(const EngineFolder&) = delete;
    EngineFolder& operator=(const EngineFolder&) = delete;

    const std::wstring& Path() const { return folder_.Dir(); }

    // The module's log lines, without their line ends.
    std::vector<std::wstring> LogLines() const {
        const std::string bytes = folder_.Read(LogName());
        std::wstring text(bytes.size() / 2, L'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * 2);
        std::vector<std::wstring> lines;
        for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos;
             start = end + 2) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }

private:
    // "virget_" and this program's file name.
    static std::wstring LogName() {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        const std::wstring full = path;
        return L"virget_" + full.substr(full.find_last_of(L"\\/") + 1) + L".log";
    }

    testsupport::TempFolder folder_;
    std::wstring oldTmp_;
    std::wstring oldTemp_;
};

class BootRestoreTest : public ::testing::Test {
protected:
    void Reset() const {
        sim::ResetState(folder_.Path());
        sim::ClearJournal(folder_.Path());
    }
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        for (const auto& entry : sim::ReadJournal(folder_.Path()))
            calls.push_back(entry.operation);
        return calls;
    }
    std::vector<sim::JournalEntry> Journal(const char* operation) const {
        return sim::ReadJournal(folder_.Path(), operation);
    }
    sim::EngineState Engine() const { return sim::ReadState(folder_.Path()); }
    void UpdateEngine(const std::function<void(sim::EngineState&)>& change) const {
        sim::UpdateState(folder_.Path(), change);
    }

    EngineFolder folder_;
};

// ---- SetRestore ---------------------------------------------------------------------------

TEST_F(BootRestoreTest, SetRestoreHandsBackTheEngineRefusalWithoutLogging) {
    Reset();
    sim::SetFailure(folder_.Path(), "SetBootRestore", 1117);

    EXPECT_EQ(SetRestore(0, kRequester), 1117u);

    EXPECT_FALSE(Engine().bootRestore.armed);
    EXPECT_TRUE(folder_.LogLines().empty());
}

// An engine that fails the count but reports one anyway: the request is not sent.
DWORD WINAPI CountFailingWithFive(DWORD* count) {
    *count = 5;
    return 1359;
}

TEST_F(BootRestoreTest, SetRestoreStopsAndLogsWhenTheCountFailsWithACount) {
    Reset();
    testsupport::ImportPatch patch("Pellucid.dll", 3,
                                   reinterpret_cast<const void*>(&CountFailingWithFive));
    ASSERT_TRUE(patch.Active());

    EXPECT_EQ(SetRestore(0, kRequester), 1359u);

    EXPECT_TRUE(Journal("SetBootRestore").empty());
    EXPECT_FALSE(Engine().bootRestore.armed);
    const auto log = folder_.LogLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(L"Error = 1359 "), std::wstring::npos) << log[0];
}

// ---- DelRestore and SetPEBoot ---------------------------------------------------------------

// A boot library that answers each call with the next code of a list.
std::vector<DWORD> g_bootAnswers;
std::vector<DWORD> g_bootActions;
DWORD WINAPI ScriptedSetBootEntry(BOOT_ENTRY_REQUEST* request) {
    g_bootActions.push_back(request->dwAction);
    const size_t call = g_bootActions.size() - 1;
    return call < g_bootAnswers.size() ? g_bootAnswers[call] : 0;
}

TEST_F(BootRestoreTest, DelRestoreReportsOnlyTheLastBootEntryCall) {
    Reset();
    g_bootAnswers = {5, 7};
    g_bootActions.clear();
    testsupport::ImportPatch patch("Marrowick.dll", 25,
                                   reinterpret_cast<const void*>(&ScriptedSetBootEntry));
    ASSERT_TRUE(patch.Active());

    EXPECT_EQ(DelRestore(), 7u);

    EXPECT_EQ(g_bootActions, (std::vector<DWORD>{1, 0}));
    EXPECT_TRUE(folder_.LogLines().empty());
}

TEST_F(BootRestoreTest, SetPEBootHandsBackTheLibraryRefusalWithoutLogging) {
    Reset();
    sim::SetFailure(folder_.Path(), "SetBootEntry", 1234);

    EXPECT_EQ(SetPEBoot(1), 1234u);

    EXPECT_FALSE(Engine().bootEntry.present);
    EXPECT_TRUE(folder_.LogLines().empty());
}

}  // namespace
