// The diagnostic log as support staff read it: the file virget_<host>.log in the temporary
// folder, UTF-16 records of errors and traces, emptied once it has grown past 1 MiB, and
// silent when it cannot be written.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "ExceptionWrapper.h"
#include "LogRecords.h"
#include "TempFolder.h"

using testsupport::TempFolder;

namespace {

constexpr wchar_t kLogName[] = L"virget_unit_test.exe.log";
constexpr size_t kLimit = 1048576;

std::wstring Stamp(const SYSTEMTIME& t) {
    wchar_t text[32];
    swprintf(text, 32, L"[%02d-%02d-%04d,%02d:%02d:%02d]", t.wMonth, t.wDay, t.wYear, t.wHour,
             t.wMinute, t.wSecond);
    return text;
}

SYSTEMTIME Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

std::wstring FromUtf16(const std::string& bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return text;
}

// The test process's temporary folder points into a fresh folder for each test, so the log
// of this program lands there.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = {Variable(L"TMP"), Variable(L"TEMP")};
        ::SetEnvironmentVariableW(L"TMP", folder.Dir().c_str());
        ::SetEnvironmentVariableW(L"TEMP", folder.Dir().c_str());
    }
    void TearDown() override {
        ::SetEnvironmentVariableW(L"TMP", saved_[0].c_str());
        ::SetEnvironmentVariableW(L"TEMP", saved_[1].c_str());
    }

    std::string LogBytes() const { return folder.Read(kLogName); }
    std::wstring LogText() const { return FromUtf16(LogBytes()); }
    // Records, each with its "\r\n".
    std::vector<std::wstring> Records() const { return testsupport::SplitRecords(LogText()); }

    TempFolder folder{L"log-" + TestName()};

private:
    static std::wstring Variable(const wchar_t* name) {
        wchar_t value[MAX_PATH * 2] = {};
        ::GetEnvironmentVariableW(name, value, MAX_PATH * 2);
        return value;
    }
    static std::wstring TestName() {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        return std::wstring(name.begin(), name.end());
    }
    std::vector<std::wstring> saved_;
};

// The record's time stamp is the local time of the write: one of the two seconds around it.
void ExpectStampBetween(const std::wstring& record, const SYSTEMTIME& before,
                        const SYSTEMTIME& after) {
    const std::wregex shape(LR"(^\[\d\d-\d\d-\d{4},\d\d:\d\d:\d\d\] )");
    ASSERT_TRUE(std::regex_search(record, shape)) << std::string(record.begin(), record.end());
    const std::wstring stamp = record.substr(0, 21);
    EXPECT_TRUE(stamp == Stamp(before) || stamp == Stamp(after))
        << "stamp " << std::string(stamp.begin(), stamp.end());
}

std::wstring AfterStamp(const std::wstring& record) {
    return record.size() > 22 ? record.substr(22) : std::wstring();
}

TEST_F(LogTest, ErrorRecordNamesCodeSourceFileAndLine) {
    const SYSTEMTIME before = Now();
    CExceptionWrapper error(8, 512, WFILE);
    error.WriteLog(CExceptionWrapper::kToLogFile);
    const SYSTEMTIME after = Now();

    EXPECT_EQ(error.LogPath(), folder.PathOf(kLogName));
    const std::string bytes = LogBytes();
    ASSERT_GE(bytes.size(), 2u);
    // UTF-16LE without a byte-order mark: the file starts with the record's "[".
    EXPECT_EQ(bytes[0], '[');
    EXPECT_EQ(bytes[1], '\0');
    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    ExpectStampBetween(records[0], before, after);
    EXPECT_EQ(AfterStamp(records[0]), L"Error = 8 (File=LogTest.cpp,Line=512)\r\n");
    EXPECT_EQ(bytes.size(), records[0].size() * 2) << "no terminating zero is written";
}

TEST_F(LogTest, SourceFileIsTheNameAfterTheLastSlashOfEitherKind) {
    for (const wchar_t* path : {L"C:/src/Setting/Forward.cpp", L"C:\\src\\Setting\\Forward.cpp",
                                L"C:\\src/Forward.cpp", L"Forward.cpp"}) {
        CExceptionWrapper(87, 12, path).WriteLog(CExceptionWrapper::kToLogFile);
    }
    const auto records = Records();
    ASSERT_EQ(records.size(), 4u);
    for (const auto& record : records)
        EXPECT_EQ(AfterStamp(record), L"Error = 87 (File=Forward.cpp,Line=12)\r\n");
}

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

TEST_F(LogTest, RaisedErrorsAreLoggedWhereTheyAreCaught) {
    const int raised = RaiseAndLog(1168);
    const int failed = FailAllocationAndLog();
    const auto records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(AfterStamp(records[0]),
              L"Error = 1168 (File=LogTest.cpp,Line=" + std::to_wstring(raised) + L")\r\n");
    // A failed allocation is an error with code 8 at the catching line.
    EXPECT_EQ(AfterStamp(records[1]),
              L"Error = 8 (File=LogTest.cpp,Line=" + std::to_wstring(failed) + L")\r\n");
}

TEST_F(LogTest, TraceRecordIsStampBlankAndFormattedText) {
    const SYSTEMTIME before = Now();
    CExceptionWrapper(__LINE__, WFILE, L"app =%s,directory = %s", L"A", L"B")
        .WriteLog(CExceptionWrapper::kToLogFile);
    CExceptionWrapper(__LINE__, WFILE, L"count %d of %d", 3, -4)
        .WriteLog(CExceptionWrapper::kToLogFile);
    // Percent signs in the arguments are text, not conversions.
    LogTrace(__LINE__, WFILE, L"value: %s", L"100% %n %s %d");
    const SYSTEMTIME after = Now();

    const auto records = Records();
    ASSERT_EQ(records.size(), 3u);
    for (const auto& record : records)
        ExpectStampBetween(record, before, after);
    EXPECT_EQ(AfterStamp(records[0]), L"app =A,directory = B\r\n");
    EXPECT_EQ(AfterStamp(records[1]), L"count 3 of -4\r\n");
    EXPECT_EQ(AfterStamp(records[2]), L"value: 100% %n %s %d\r\n");
}

TEST_F(LogTest, OverlongTraceIsCutButStillEndsTheLine) {
    const std::wstring longText(3000, L'x');
    CExceptionWrapper(__LINE__, WFILE, L"%s", longText.c_str())
        .WriteLog(CExceptionWrapper::kToLogFile);
    CExceptionWrapper(__LINE__, WFILE, L"next").WriteLog(CExceptionWrapper::kToLogFile);
    const auto records = Records();
    ASSERT_EQ(records.size(), 2u);
    // 1024 characters with the terminator; the terminator is not written.
    EXPECT_EQ(records[0].size(), 1023u);
    EXPECT_EQ(records[0].substr(records[0].size() - 2), L"\r\n");
    EXPECT_EQ(AfterStamp(records[0]), std::wstring(1023 - 22 - 2, L'x') + L"\r\n");
    EXPECT_EQ(AfterStamp(records[1]), L"next\r\n");
}

TEST_F(LogTest, RecordsAreAppendedInOrder) {
    for (int i = 0; i < 3; ++i)
        CExceptionWrapper(__LINE__, WFILE, L"line %d", i).WriteLog(CExceptionWrapper::kToLogFile);
    const auto records = Records();
    ASSERT_EQ(records.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(AfterStamp(records[i]), L"line " + std::to_wstring(i) + L"\r\n");
}

TEST_F(LogTest, FileOfExactlyTheLimitIsAppendedTo) {
    const std::string old(kLimit, 'a');
    folder.Write(kLogName, old);
    CExceptionWrapper(8, 1, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
    const std::string bytes = LogBytes();
    ASSERT_GT(bytes.size(), kLimit);
    EXPECT_EQ(bytes.compare(0, kLimit, old), 0) << "the old content was changed";
    EXPECT_EQ(AfterStamp(FromUtf16(bytes.substr(kLimit))),
              L"Error = 8 (File=LogTest.cpp,Line=1)\r\n");
}

TEST_F(LogTest, FileOverTheLimitIsEmptiedBeforeTheNewRecord) {
    folder.Write(kLogName, std::string(kLimit + 1, 'a'));
    CExceptionWrapper(8, 2, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(AfterStamp(records[0]), L"Error = 8 (File=LogTest.cpp,Line=2)\r\n");
    EXPECT_EQ(LogBytes().size(), records[0].size() * 2);
}

TEST_F(LogTest, OnlyTheLogFlagWritesToTheFile) {
    CExceptionWrapper error(8, 3, WFILE);
    error.WriteLog(0);
    EXPECT_FALSE(folder.Exists(kLogName));
    error.WriteLog(CExceptionWrapper::kToDebugger);
    EXPECT_FALSE(folder.Exists(kLogName));
    error.WriteLog(CExceptionWrapper::kToDebugger | CExceptionWrapper::kToLogFile);
    EXPECT_EQ(Records().size(), 1u);
}

TEST_F(LogTest, LogHeldWithoutSharingLosesTheLineSilently) {
    const std::wstring path = folder.PathOf(kLogName);
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CExceptionWrapper(8, 4, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
    LogTrace(__LINE__, WFILE, L"lost too");
    ::CloseHandle(held);
    EXPECT_EQ(LogBytes(), "");
    // Once the other program lets go, the next line is written as usual.
    CExceptionWrapper(8, 5, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(AfterStamp(records[0]), L"Error = 8 (File=LogTest.cpp,Line=5)\r\n");
}

TEST_F(LogTest, UnusableTemporaryFolderLosesTheLineSilently) {
    const std::wstring missing = folder.PathOf(L"gone");
    ::SetEnvironmentVariableW(L"TMP", missing.c_str());
    ::SetEnvironmentVariableW(L"TEMP", missing.c_str());
    CExceptionWrapper(8, 6, WFILE).WriteLog(CExceptionWrapper::kToLogFile);
    EXPECT_FALSE(folder.Exists(L"gone"));
    EXPECT_FALSE(folder.Exists(kLogName));

    // A folder that exists, but whose log path would not fit 260 characters.
    std::wstring deep = folder.Dir();
    while (deep.size() < MAX_PATH - 12) {
        const size_t left = MAX_PATH - 12 - deep.size();
        deep += L"\\" + std::wstring(std::clamp<size_t>(left - 1, 1, 40), L'd');
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

TEST_F(LogTest, WritersOnSeveralThreadsLeaveWholeRecords) {
    constexpr int kPerThread = 50;
    const std::wstring filler(300, L'z');
    auto writer = [&](int id) {
        for (int i = 0; i < kPerThread; ++i) {
            CExceptionWrapper(__LINE__, WFILE, L"writer %d record %d %s", id, i, filler.c_str())
                .WriteLog(CExceptionWrapper::kToLogFile);
        }
    };
    std::thread first(writer, 1), second(writer, 2);
    first.join();
    second.join();
    const std::wregex shape(
        LR"(^\[\d\d-\d\d-\d{4},\d\d:\d\d:\d\d\] writer [12] record \d+ z{300}\r\n$)");
    const auto records = Records();
    EXPECT_EQ(records.size(), 2u * kPerThread);
    for (const auto& record : records)
        EXPECT_TRUE(std::regex_match(record, shape)) << std::string(record.begin(), record.end());
}

}  // namespace
