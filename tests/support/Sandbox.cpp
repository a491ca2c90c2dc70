#include "Sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "LogRecords.h"
#include "SimFiles.h"

namespace testsupport {
namespace {

// Process ids repeat from run to run under Wine; the clock keeps a kept sandbox of an earlier
// run from being reused.
std::wstring UniqueSandboxPath(const std::string& name) {
    return SandboxPath(Widen(name) + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                       std::to_wstring(::GetTickCount64() % 100000));
}

}  // namespace

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string TestName() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? test->name() : "test";
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

bool TestFailed() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return test && test->result()->Failed();
}

std::wstring BuildHostDir() {
    return sim::ExecutableFolder();
}

std::wstring SandboxPath(const std::wstring& name) {
    const std::wstring root = BuildHostDir() + L"\\..\\sandboxes";
    ::CreateDirectoryW(root.c_str(), nullptr);
    return FullPath(root) + L"\\" + name;
}

Sandbox::Sandbox(const std::string& name, size_t padTo)
    : ProductFolder(UniqueSandboxPath(name), padTo) {
    AddPrograms(BuildHostDir());
    AddConfiguration(BuildHostDir());
    sim::ResetState(Dir());
}

Sandbox::~Sandbox() {
    if (TestFailed()) Keep();
}

void Sandbox::SetIni(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                     const wchar_t* value) const {
    ::WritePrivateProfileStringW(section, key, value, PathOf(file).c_str());
}

std::wstring Sandbox::GetIni(const wchar_t* file, const wchar_t* section,
                             const wchar_t* key) const {
    wchar_t buffer[8192] = {};
    ::GetPrivateProfileStringW(section, key, L"", buffer, 8192, PathOf(file).c_str());
    return buffer;
}

void Sandbox::WriteFile(const std::wstring& relative, const std::string& bytes) const {
    const std::wstring path = PathOf(relative);
    ::DeleteFileW(path.c_str());  // never write through a link into the build's files
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Sandbox::ReadFile(const std::wstring& relative) const {
    std::ifstream in(PathOf(relative).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Sandbox::RemoveFile(const std::wstring& relative) const {
    const std::wstring path = PathOf(relative);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
}

std::wstring Sandbox::LogPath(const std::wstring& hostExe) const {
    return TempDir() + L"\\virget_" + hostExe + L".log";
}

std::vector<std::wstring> Sandbox::LogLines(const std::wstring& hostExe) const {
    std::ifstream in(LogPath(hostExe).c_str(), std::ios::binary);
    return SplitRecords(
        FromUtf16Le({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}));
}

std::vector<std::string> Sandbox::Calls() const {
    std::vector<std::string> calls;
    for (const auto& entry : Journal())
        calls.push_back(entry.operation);
    return calls;
}

}  // namespace testsupport
