#include "Session.h"

#include <algorithm>

namespace testsupport {
namespace {

// The engine's operations; the journal also holds lines of the resize tool and the tray
// application, which are programs, not operations.
bool IsEngineOperation(const std::string& name) {
    return name != "Tessinit" && name.rfind("Tray", 0) != 0;
}

}  // namespace

void StopTrays() {
    WaitUntil([] { return !sim::SignalTray(); }, 15000);
}

Session::Session(const std::string& name, size_t padTo)
    : sandbox(name, padTo),
      m_shippedSetting(sandbox.ReadFile(L"Setting.ini")),
      m_shippedCreateDisk(sandbox.ReadFile(L"CreateDisk.ini")) {}

Session::~Session() {
    if (host) host->Kill();
    StopTrays();
}

void Session::RestoreConfiguration() {
    // Rewritten only when changed: a new write time makes the module read the file again.
    if (sandbox.ReadFile(L"Setting.ini") != m_shippedSetting)
        sandbox.WriteFile(L"Setting.ini", m_shippedSetting);
    if (sandbox.ReadFile(L"CreateDisk.ini") != m_shippedCreateDisk)
        sandbox.WriteFile(L"CreateDisk.ini", m_shippedCreateDisk);
}

void Session::Prepare(const std::string& engine, const std::vector<IniValue>& ini) {
    RestoreConfiguration();
    for (const IniValue& v : ini)
        sandbox.SetIni(v.file, v.section, v.key, v.value);
    sim::ResetState(sandbox.Dir());
    if (!engine.empty()) {
        sandbox.UpdateEngine([&](sim::EngineState& s) { DescribeEngine(s, engine); });
    }
    ForgetCalls();
    sandbox.RemoveFile(L"temp\\virget_SettingHost.exe.log");
    if (!host || !host->Running()) host = std::make_unique<HostProcess>(sandbox, L"");
}

HWND Session::Open(const std::string& engine, const std::vector<IniValue>& ini) {
    Prepare(engine, ini);
    HWND dialog = host->OpenSettings();
    EXPECT_NE(dialog, nullptr) << "the settings dialog did not open";
    return dialog;
}

void Session::Close(HWND dialog) {
    if (!dialog || !::IsWindow(dialog)) return;
    if (!host->CloseSettings(dialog)) {
        ADD_FAILURE() << "the settings dialog did not close";
        host->Kill();
    }
}

std::vector<std::string> Session::EngineCalls() const {
    std::vector<std::string> calls;
    for (const auto& entry : sandbox.Journal()) {
        if (IsEngineOperation(entry.operation)) calls.push_back(entry.operation);
    }
    return calls;
}

std::vector<sim::JournalEntry> Session::Entries(const std::string& operation) const {
    return sim::ReadJournal(sandbox.Dir(), operation);
}

void Session::ForgetCalls() const {
    sim::ClearJournal(sandbox.Dir());
}

void Session::ExpectOnlyReads() const {
    for (const auto& call : EngineCalls())
        EXPECT_EQ(call.rfind("Get", 0), 0u) << call << " reached the engine";
}

std::vector<std::wstring> Session::Log() const {
    return sandbox.LogLines();
}

std::vector<std::wstring> Session::LogWith(const std::wstring& part) const {
    std::vector<std::wstring> found;
    for (const auto& line : Log()) {
        if (line.find(part) != std::wstring::npos) found.push_back(line);
    }
    return found;
}

void Session::ExpectLog(const std::vector<std::wstring>& parts) const {
    const auto lines = Log();
    std::string all;
    for (const auto& line : lines)
        all += Narrow(line);
    ASSERT_EQ(lines.size(), parts.size()) << all;
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_NE(lines[i].find(parts[i]), std::wstring::npos) << Narrow(parts[i]) << " in " << all;
}

HWND FindToolTip(const HostProcess& host) {
    return host.FindWindowWhere([](HWND window) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        return _wcsicmp(name, L"tooltips_class32") == 0;
    });
}

void AnswerMessageBox(const HostProcess& host, const std::wstring& text, int button) {
    HWND box = host.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(Text(box, 0xFFFF), text);
    Click(box, button);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
}

bool Answers(HWND window) {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
}

void SetEditText(HWND dialog, int id, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored);
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items)
        text += item + " ";
    return text;
}

}  // namespace testsupport
