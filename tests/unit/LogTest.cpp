// The diagnostic log as support staff read it: the file virget_<host>.log in the temporary
// folder, UTF-16 records of errors and traces, emptied once it has grown past 1 MiB, silent
// when it cannot be written, and whole records from writers in several threads and processes.
// (A log held by another program is checked through the dialog.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "ExceptionWrapper.h"
#include "LogRecords.h"
#include "Sandbox.h"
#include "TempFolder.h"

using namespace testsupport;

namespace {

constexpr wchar_t kLogName[] = L"virget_unit_test.exe.log";
constexpr size_t kLimit = 1048576;

std::wstring FromUtf16(const std::string& bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return text;
}

std::wstring Stamp(const SYSTEMTIME& t) {
    wchar_t text[32];
    swprintf(text, 32, L"[%02d-%02d-%04d,%02d:%02d:%02d] ", t.wMonth, t.wDay, t.wYear, t.wHour,
             t.wMinute, t.wSecond);
    return text;
}

SYSTEMTIME Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

// The temporary folder of this process (and of the programs it starts) is a fresh folder for
// each test, so the log of this program lands there.
class LogTest : public ::testing::Test {
protected:
    std::string Bytes() const { return folder.Read(kLogName); }
    std::vector<std::wstring> Records() const { return folder.Log(); }

    TemporaryFolder folder;
};

int RaiseAndLog(int code) {
    const int line = __LINE__ + 2;
    try {
        RAISE_ERROR(code);
    } catch (...) {
        LOG_CAUGHT_EXCEPTION();
    }
    return line;
}

int FailAllocationAndLog() {
    int line = 0;
    try {
        throw std::bad_alloc();
    } catch (...) {
        line = __LINE__ + 1;
        LOG_CAUGHT_EXCEPTION();
    }
    return line;
}

TEST_F(LogTest, RecordsAreWrittenAsSupportReadsThem) {
    const SYSTEMTIME before = Now();
    CExceptionWrapper error(8, 512, WFILE);
    EXPECT_EQ(error.LogPath(), folder.PathOf(kLogName));
    error.WriteLog(0);
    error.WriteLog(CExceptionWrapper::kToDebugger);
    EXPECT_FALSE(folder.Exists(kLogName)) << "only the log flag writes to the file";
    error.WriteLog(CExceptionWrapper::kToDebugger | CExceptionWrapper::kToLogFile);
    for (const wchar_t* path :
         {L"C:/src/Forward.cpp", L"C:\\src\\Forward.cpp", L"C:\\x/Forward.cpp"})
        CExceptionWrapper(87, 12, path).WriteLog(CExceptionWrapper::kToLogFile);
    const int raised = RaiseAndLog(1168);
    const int failed = FailAllocationAndLog();
    CExceptionWrapper(__LINE__, WFILE, L"app =%s,directory = %s", L"A", L"B")
        .WriteLog(CExceptionWrapper::kToLogFile);
    CExceptionWrapper(__LINE__, WFILE, L"count %d of %d", 3, -4)
        .WriteLog(CExceptionWrapper::kToLogFile);
    LogTrace(__LINE__, WFILE, L"value: %s", L"100% %n %s %d");  // arguments are text
    CExceptionWrapper(__LINE__, WFILE, L"%s", std::wstring(3000, L'x').c_str())
        .WriteLog(CExceptionWrapper::kToLogFile);
    const SYSTEMTIME after = Now();

    const std::wstring bodies[] = {
        L"Error = 8 (File=LogTest.cpp,Line=512)\r\n",
        L"Error = 87 (File=Forward.cpp,Line=12)\r\n",
        L"Error = 87 (File=Forward.cpp,Line=12)\r\n",
        L"Error = 87 (File=Forward.cpp,Line=12)\r\n",
        L"Error = 1168 (File=LogTest.cpp,Line=" + std::to_wstring(raised) + L")\r\n",
        // A failed allocation is an error with code 8 at the catching line.
        L"Error = 8 (File=LogTest.cpp,Line=" + std::to_wstring(failed) + L")\r\n",
        L"app =A,directory = B\r\n",
        L"count 3 of -4\r\n",
        L"value: 100% %n %s %d\r\n",
        // 1024 characters with the terminator, which is not written.
        std::wstring(1023 - 22 - 2, L'x') + L"\r\n",
    };
    const auto records = Records();
    ASSERT_EQ(records.size(), std::size(bodies));
    for (size_t i = 0; i < records.size(); ++i) {
        const std::wstring stamp = records[i].substr(0, 22);
        EXPECT_TRUE(stamp == Stamp(before) || stamp == Stamp(after)) << Narrow(stamp);
        EXPECT_EQ(records[i].substr(22), bodies[i]) << i;
    }
    // UTF-16LE without a byte-order mark or terminating zero.
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes.substr(0, 2), std::string("[\0", 2));
    size_t characters = 0;
    for (const auto& record : records)
        characters += record.size();
    EXPECT_EQ(bytes.size(), characters * 2);
}

TEST_F(LogTest, ALogPastOneMebibyteIsEmptiedBeforeTheNextRecord) {
    for (const size_t size : {kLimit, kLimit + 1}) {
        SCOPED_TRACE(size);
        const std::string old(size, 'a');
        folder.Write(kLogName, old);
        CExceptionWrapper(8, 1, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
        const std::string bytes = Bytes();
        const size_t kept = size > kLimit ? 0 : size;
        EXPECT_EQ(bytes.compare(0, kept, old, 0, kept), 0) << "the old content was changed";
        EXPECT_EQ(FromUtf16(bytes.substr(kept)).substr(22),
                  L"Error = 8 (File=LogTest.cpp,Line=1)\r\n");
    }
}

TEST_F(LogTest, AnUnusableTemporaryFolderLosesTheLineSilently) {
    const std::wstring missing = folder.PathOf(L"gone");  // this test's folder is restored after it
    ::SetEnvironmentVariableW(L"TMP", missing.c_str());
    ::SetEnvironmentVariableW(L"TEMP", missing.c_str());
    CExceptionWrapper(8, 6, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
    EXPECT_FALSE(folder.Exists(L"gone"));
    // A folder that exists, but whose log path would not fit 260 characters.
    std::wstring deep = folder.Dir();
    while (deep.size() < MAX_PATH - 12) {
        deep += L"\\" + std::wstring(std::clamp<size_t>(MAX_PATH - 13 - deep.size(), 1, 40), L'd');
        ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr)) << deep.size();
    }
    ::SetEnvironmentVariableW(L"TMP", deep.c_str());
    ::SetEnvironmentVariableW(L"TEMP", deep.c_str());
    CExceptionWrapper(8, 7, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((deep + L"\\virget_*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a log was written in the too deep folder";
    if (search != INVALID_HANDLE_VALUE) ::FindClose(search);
}

// Writers in two threads of this program and in two other processes at once: every record
// whole, each writer's records in order.
TEST_F(LogTest, WritersInThreadsAndProcessesLeaveWholeRecordsInOrder) {
    constexpr int kThreadRecords = 50, kProcessRecords = 3000;
    auto writer = [](int id) {
        for (int i = 0; i < kThreadRecords; ++i)
            LogTrace(__LINE__, WFILE, L"writer %d record %d %s", id, i,
                     std::wstring(40, L'z').c_str());
    };
    std::vector<HANDLE> processes;
    for (int id : {3, 4}) {
        std::wstring line = L"\"" + BuildHostDir() + L"\\log_writer.exe\" " + std::to_wstring(id) +
                            L" " + std::to_wstring(kProcessRecords);
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION info{};
        ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &info));
        ::CloseHandle(info.hThread);
        processes.push_back(info.hProcess);
    }
    std::thread first(writer, 1), second(writer, 2);
    first.join();
    second.join();
    ASSERT_EQ(::WaitForMultipleObjects(2, processes.data(), TRUE, 120000), WAIT_OBJECT_0);
    for (HANDLE process : processes)
        ::CloseHandle(process);

    const std::wregex shape(
        LR"(^\[\d\d-\d\d-\d{4},\d\d:\d\d:\d\d\] writer ([1-4]) record (\d+) z{40}\r\n$)");
    std::map<int, int> next;
    int malformed = 0;
    for (const auto& records : {folder.Log(), folder.Log(L"log_writer.exe")}) {
        for (const auto& record : records) {
            std::wsmatch match;
            if (!std::regex_match(record, match, shape)) {
                if (++malformed <= 3) ADD_FAILURE() << Narrow(record);
                continue;
            }
            const int id = std::stoi(match[1].str());
            EXPECT_EQ(std::stoi(match[2].str()), next[id]) << "writer " << id << " out of order";
            next[id] = std::stoi(match[2].str()) + 1;
        }
    }
    EXPECT_EQ(malformed, 0);
    EXPECT_EQ(
        next,
        (std::map<int, int>{
            {1, kThreadRecords}, {2, kThreadRecords}, {3, kProcessRecords}, {4, kProcessRecords}}));
}

}  // namespace
