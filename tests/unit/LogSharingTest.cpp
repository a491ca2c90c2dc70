// The log shared by several programs: two processes that write thousands of records at once
// through the module's log code leave every record whole and in each writer's order, and a
// writer's lock held elsewhere delays a record without losing it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "ExceptionWrapper.h"
#include "LogRecords.h"
#include "TempFolder.h"

using testsupport::BuildHostDir;
using testsupport::TempFolder;

namespace {

constexpr int kRecordsPerWriter = 3000;  // about 270 KB each, well below the 1 MiB limit

std::wstring FromUtf16(const std::string& bytes) {
    std::wstring text(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return text;
}

// The temporary folder of this process (and of the programs it starts) for one test.
class TemporaryFolderOf {
public:
    explicit TemporaryFolderOf(const std::wstring& dir) {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH * 2] = {};
            ::GetEnvironmentVariableW(name, value, MAX_PATH * 2);
            saved_.push_back(value);
            ::SetEnvironmentVariableW(name, dir.c_str());
        }
    }
    ~TemporaryFolderOf() {
        ::SetEnvironmentVariableW(L"TMP", saved_[0].c_str());
        ::SetEnvironmentVariableW(L"TEMP", saved_[1].c_str());
    }
    TemporaryFolderOf(const TemporaryFolderOf&) = delete;
    TemporaryFolderOf& operator=(const TemporaryFolderOf&) = delete;

private:
    std::vector<std::wstring> saved_;
};

HANDLE StartWriter(int id, int count) {
    std::wstring line = L"\"" + BuildHostDir() + L"\\log_writer.exe\" " + std::to_wstring(id) +
                        L" " + std::to_wstring(count);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return nullptr;
    }
    ::CloseHandle(info.hThread);
    return info.hProcess;
}

TEST(LogSharingTest, TwoProcessesWritingAtOnceLeaveEveryRecordWholeAndInOrder) {
    TempFolder folder(L"log-two-processes");
    TemporaryFolderOf temp(folder.Dir());
    HANDLE writers[] = {StartWriter(1, kRecordsPerWriter), StartWriter(2, kRecordsPerWriter)};
    ASSERT_NE(writers[0], nullptr);
    ASSERT_NE(writers[1], nullptr);
    ASSERT_EQ(::WaitForMultipleObjects(2, writers, TRUE, 120000), WAIT_OBJECT_0)
        << "the writers did not end";
    for (HANDLE writer : writers) {
        DWORD code = 99;
        ::GetExitCodeProcess(writer, &code);
        EXPECT_EQ(code, 0u);
        ::CloseHandle(writer);
    }

    const std::wregex shape(
        LR"(^\[\d\d-\d\d-\d{4},\d\d:\d\d:\d\d\] writer ([12]) record (\d+) z{40}\r\n$)");
    const auto records =
        testsupport::SplitRecords(FromUtf16(folder.Read(L"virget_log_writer.exe.log")));
    EXPECT_EQ(records.size(), 2u * kRecordsPerWriter);
    std::map<int, int> next{{1, 0}, {2, 0}};
    int malformed = 0, interleavedWriters = 0;
    int previous = 0;
    for (const auto& record : records) {
        std::wsmatch match;
        if (!std::regex_match(record, match, shape)) {
            if (++malformed <= 3) ADD_FAILURE() << std::string(record.begin(), record.end());
            continue;
        }
        const int writer = std::stoi(match[1].str());
        const int index = std::stoi(match[2].str());
        EXPECT_EQ(index, next[writer]) << "writer " << writer << " out of order";
        next[writer] = index + 1;
        if (previous != 0 && previous != writer) ++interleavedWriters;
        previous = writer;
    }
    EXPECT_EQ(malformed, 0);
    EXPECT_EQ(next[1], kRecordsPerWriter);
    EXPECT_EQ(next[2], kRecordsPerWriter);
    // Not a requirement, but the point of the test: the writers really wrote at once.
    std::printf("records of the two writers alternate %d times\n", interleavedWriters);
}

TEST(LogSharingTest, LockHeldElsewhereDelaysARecordButDoesNotLoseIt) {
    TempFolder folder(L"log-lock-held");
    TemporaryFolderOf temp(folder.Dir());
    const std::wstring path = folder.PathOf(L"virget_unit_test.exe.log");
    HANDLE other = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFF0;  // the writers' lock byte
    ASSERT_TRUE(::LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at));

    CExceptionWrapper(8, 9, WFILE).WriteLog(CExceptionWrapper::kToLogFile);

    ::UnlockFileEx(other, 0, 1, 0, &at);
    ::CloseHandle(other);
    const auto records =
        testsupport::SplitRecords(FromUtf16(folder.Read(L"virget_unit_test.exe.log")));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].find(L"] Error = 8 (File=LogSharingTest.cpp,Line=9)\r\n"),
              std::wstring::npos);
}

}  // namespace
