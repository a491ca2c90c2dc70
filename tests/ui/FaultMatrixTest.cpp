// Every engine operation the dialog calls, made to fail and made to answer slowly, in every
// flow that calls it: opening, saving (restore off with the tray on, and restore armed with
// the tray off), switching protection on and off, resizing the protected area, setting and
// removing the password.
//
// The flows and what each failure does are data (kFlows): the engine calls of a clean run of
// each flow, in order, and for each operation what its failure leads to. The cells are made
// from that table: a clean run of every flow (which proves its call list), and one run per
// operation of the flow that fails it and one that delays it. Each cell checks the dialog's
// end state, the engine's journal (no call after a failure that stops the flow, nothing
// beyond what a clean run calls), the log (one line with the code where the failure is
// logged, none where it is not) and the messages the user sees (only where a failure is
// reported to the user).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "DialogProbe.h"
#include "HostProcess.h"
#include "Sandbox.h"
#include "SimState.h"
#include "Ui.h"
#include "resource.h"

using namespace testsupport;

namespace {

constexpr DWORD kCode = 4321;     // the forced engine result
constexpr DWORD kSlowMs = 700;    // a slow engine answer: longer than one step of the dots
constexpr DWORD kFlowMs = 30000;  // upper bound for a flow to end, slow calls included
const std::wstring kRecoveryTitle = L"Corvianex Recovery Environment";

// The operations of the engine library and of the boot-entry library. The journal also holds
// lines of the tray application and the resize tool, which are programs, not operations.
const char* const kEngineOperations[] = {"GetProtectState",
                                         "GetSnapshotCount",
                                         "EnableProtect",
                                         "DisableProtect",
                                         "SetBootRestore",
                                         "GetSnapshotSetting",
                                         "SetSnapshotSetting",
                                         "GetEventMonitorSetting",
                                         "SetEventMonitorSetting",
                                         "GetProductInfo",
                                         "GetSpaceUsage",
                                         "RegisterTray",
                                         "UnregisterTray",
                                         "GetCvxPassWord",
                                         "SetCvxPassWord",
                                         "ClearBootRestore",
                                         "SetBootEntry"};

bool IsEngineOperation(const std::string& name) {
    return std::find(std::begin(kEngineOperations), std::end(kEngineOperations), name) !=
           std::end(kEngineOperations);
}

// What a failing operation leads to in a flow.
enum class Failure {
    GoesOn,    // its result is not raised: the flow goes on as in a clean run, nothing logged
    Stops,     // raised: one error line with the code; no engine call after it
    Reported,  // the skinned error report shows the flow's text; the code is logged once; the
               // flow goes on (the report reads the product caption: one GetProductInfo more)
    Refused,   // the password dialog shows the failure text with the code and stays open
    Traced,    // only the flow's trace line carries the result
};

enum class Mode { Clean, Fails, Slow };

struct Flow;

// One cell of the matrix.
struct Cell {
    const Flow* flow;
    Mode mode;
    std::string operation;  // empty for a clean run
    Failure failure;        // for Mode::Fails
};

// A log line that a clean run of a flow writes, after `afterCalls` engine calls.
struct CleanLogLine {
    std::wstring text;  // with "%d" standing for the operation's result
    size_t afterCalls;
};

class FlowRun;

struct Flow {
    const char* name;
    std::vector<std::string> calls;            // engine calls of a clean run, in order
    std::map<std::string, Failure> onFailure;  // every operation of `calls`
    std::vector<CleanLogLine> log;             // what a clean run logs
    bool forceBeforeOpening;                   // the opening itself is the flow
    void (*prepare)(sim::EngineState&);        // engine state before the opening
    void (*act)(FlowRun&);                     // the user's steps once the dialog is up
    void (*expectEnd)(FlowRun&);               // the dialog's state once the flow is over
};

// ---------------------------------------------------------------------------------------
// One run of a flow with one cell's engine

class FlowRun {
public:
    FlowRun(const Cell& cell, Sandbox& sandbox) : cell(cell), sandbox(sandbox) {}

    bool Fails(const std::string& op) const {
        return cell.mode == Mode::Fails && cell.operation == op;
    }
    bool Failing(Failure kind) const { return cell.mode == Mode::Fails && cell.failure == kind; }
    void Force() const {
        if (cell.mode == Mode::Fails) sandbox.FailEngine(cell.operation, kCode);
        if (cell.mode == Mode::Slow) sandbox.DelayEngine(cell.operation, kSlowMs);
    }
    std::wstring Setting(const wchar_t* section, const wchar_t* key) const {
        return sandbox.GetIni(L"Setting.ini", section, key);
    }
    bool Logged(const std::wstring& part) const { return !LogLinesWith(sandbox, part).empty(); }

    std::vector<std::string> EngineCalls() const {
        std::vector<std::string> calls;
        for (const auto& op : sandbox.Calls()) {
            if (IsEngineOperation(op)) calls.push_back(op);
        }
        return calls;
    }

    // The engine calls this cell must end with.
    std::vector<std::string> ExpectedCalls() const {
        std::vector<std::string> calls = cell.flow->calls;
        if (cell.mode != Mode::Fails) return calls;
        if (cell.failure == Failure::Stops) {
            const size_t at = IndexOf(calls, cell.operation);
            if (at < calls.size()) calls.resize(at + 1);
        }
        return calls;
    }

    // The log lines this cell must end with, as parts of the lines, in order.
    std::vector<std::wstring> ExpectedLog() const {
        std::vector<std::wstring> lines;
        const std::wstring code = std::to_wstring(cell.mode == Mode::Fails ? kCode : 0);
        const size_t calls = ExpectedCalls().size();
        for (const CleanLogLine& line : cell.flow->log) {
            if (cell.mode == Mode::Fails && cell.failure == Failure::Stops &&
                line.afterCalls > calls)
                continue;  // the flow stopped before it
            std::wstring text = line.text;
            const size_t at = text.find(L"%d");
            if (at != std::wstring::npos) {
                text.replace(at, 2, cell.failure == Failure::Traced ? code : L"0");
            }
            lines.push_back(text);
        }
        if (Failing(Failure::Stops) || Failing(Failure::Reported))
            lines.push_back(L"] Error = " + code + L" ");
        return lines;
    }

    // Waits until the flow has made its last engine call (or logged the failure that ends
    // it), then until the dialog's thread has handled what followed.
    bool WaitForFlowEnd() const {
        bool ended = false;
        if (Failing(Failure::Stops)) {
            ended = WaitUntil([&] { return Logged(L"] Error = " + std::to_wstring(kCode) + L" "); },
                              kFlowMs);
        } else {
            // A skinned report reads the product caption: one call more.
            const size_t count = ExpectedCalls().size() + (Failing(Failure::Reported) ? 1 : 0);
            ended = WaitUntil([&] { return EngineCalls().size() >= count; }, kFlowMs);
        }
        // Lines written after the last call (a trace of its result, a code logged once the
        // user has seen the report).
        const size_t lines = ExpectedLog().size();
        ended = ended && WaitUntil([&] { return sandbox.LogLines().size() >= lines; }, kFlowMs);
        if (host->Running()) host->Settle();
        return ended;
    }

    const Cell& cell;
    Sandbox& sandbox;
    std::unique_ptr<HostProcess> host;
    HWND dialog = nullptr;
};

// Any dialog of the host that is up and waits for the user, other than the settings dialog.
std::wstring OpenMessages(const HostProcess& host) {
    std::wstring open;
    if (host.FindMessageBox()) open += L"message box; ";
    if (FindMessageDialog(host)) open += L"message dialog; ";
    if (FindWaitingBox(host)) open += L"waiting box; ";
    if (FindPasswordDialog(host)) open += L"password dialog; ";
    return open;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

void ExpectUsable(FlowRun& run) {
    ASSERT_TRUE(run.host->Running()) << "the host has gone";
    EXPECT_TRUE(::IsWindowVisible(run.dialog)) << "the dialog is not shown";
    EXPECT_TRUE(::IsWindowEnabled(run.dialog)) << "the dialog takes no input";
    EXPECT_EQ(OpenMessages(*run.host), L"");
    DWORD_PTR answer = 0;
    EXPECT_NE(::SendMessageTimeoutW(run.dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0)
        << "the dialog's thread does not answer";
}

// ---------------------------------------------------------------------------------------
// The flows

void ArmRestore(sim::EngineState& s) {
    s.snapshotSetting.bAutoRestore = 1;
    s.bootRestore.armed = true;
    s.bootEntry.present = true;
    s.bootEntry.title = Narrow(kRecoveryTitle);
}

// The skinned report of a refused switch: the flow's text, then OK.
void ConfirmReport(FlowRun& run, const wchar_t* key) {
    HWND report = WaitForMessageDialog(*run.host, kFlowMs);
    ASSERT_NE(report, nullptr) << "no error report";
    EXPECT_EQ(Text(report, IDC_MSG_TEXT), run.Setting(L"ERROR_STRING", key));
    Click(report, IDC_MSG_OK);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageDialog(*run.host) == nullptr; }));
}

// A platform message box: its text checked, then answered.
void AnswerBox(FlowRun& run, const std::wstring& text, int answer) {
    HWND box = run.host->WaitForMessageBox(kFlowMs);
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(Text(box, 0xFFFF), text);
    Click(box, answer);
    ASSERT_TRUE(WaitUntil([&] { return run.host->FindMessageBox() == nullptr; }));
}

void Nothing(FlowRun&) {}

void ActSave(FlowRun& run) {
    Click(run.dialog, IDC_BTN_OK);
}

void ExpectSaveEnd(FlowRun& run) {
    // Saving closes the dialog after a failure as after success.
    ASSERT_TRUE(run.host->WaitForExit(kFlowMs)) << "the dialog did not close";
    EXPECT_EQ(run.host->ExitCode(), 0u);
}

void ActSwitchOn(FlowRun& run) {
    Click(run.dialog, IDC_CHECK_PROTECT);
    if (run.Failing(Failure::Reported)) ConfirmReport(run, L"IDS_ENABLE_ERROR");
}

void ExpectSwitchedOn(FlowRun& run) {
    ExpectUsable(run);
    EXPECT_TRUE(Checked(run.dialog, IDC_CHECK_PROTECT)) << "the box lost the user's choice";
    EXPECT_TRUE(Enabled(run.dialog, IDC_CHECK_AR));
}

void ActSwitchOff(FlowRun& run) {
    Click(run.dialog, IDC_CHECK_PROTECT);
    AnswerBox(run, run.Setting(L"SETTING", L"DISABLE_CP_CONFIRM"), IDOK);
    if (run.Failing(Failure::Reported)) ConfirmReport(run, L"IDS_DISABLE_ERROR");
}

void ExpectSwitchedOff(FlowRun& run) {
    ExpectUsable(run);
    EXPECT_FALSE(Checked(run.dialog, IDC_CHECK_PROTECT)) << "the box lost the user's choice";
    EXPECT_FALSE(Enabled(run.dialog, IDC_CHECK_AR));
}

void PrepareResize(sim::EngineState& s) {
    ArmRestore(s);
    s.tessinit.delayMs = 100;
    s.tessinit.initNvOk = L"TRUE";
}

void ActResize(FlowRun& run) {
    ASSERT_EQ(sim::WriteInitNvOk(sim::kFlagAbsent), 0u);
    HWND link = Control(run.dialog, IDC_STATIC_RESIZE);
    ::PostMessageW(run.dialog, WM_COMMAND, MAKEWPARAM(IDC_STATIC_RESIZE, STN_CLICKED),
                   reinterpret_cast<LPARAM>(link));
    HWND question = WaitForMessageDialog(*run.host, kFlowMs);
    ASSERT_NE(question, nullptr) << "no question";
    EXPECT_EQ(Text(question, IDC_MSG_TEXT), run.Setting(L"SETTING", L"RESIZEMSG"));
    Click(question, IDC_MSG_YES);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageDialog(*run.host) != question; }));
}

void ExpectResized(FlowRun& run) {
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(run.dialog) != FALSE; }, kFlowMs))
        << "the dialog was not shown again";
    run.host->Settle();
    ExpectUsable(run);
}

void ActSetPassword(FlowRun& run) {
    Click(run.dialog, IDC_PASSWORD);
    if (run.Failing(Failure::Stops)) return;  // the password dialog cannot be set up
    HWND pass = run.host->WaitForDialogWith(IDC_E_NEWPASS, kFlowMs);
    ASSERT_NE(pass, nullptr) << "no password dialog";
    SetEditText(pass, IDC_E_NEWPASS, L"abc123");
    SetEditText(pass, IDC_E_NEWPASS2, L"abc123");
    Click(pass, IDOK);
    if (run.Failing(Failure::Refused)) {
        const std::wstring pattern = run.Setting(L"Setting", L"S_MSG_PASS_SAVEFAIL");
        std::wstring expected = pattern;
        expected.replace(expected.find(L"%d"), 2, std::to_wstring(kCode));
        ASSERT_NO_FATAL_FAILURE(AnswerBox(run, expected, IDOK));
        EXPECT_TRUE(::IsWindowVisible(pass)) << "a refused password closed the dialog";
        Click(pass, IDCANCEL);
    } else {
        ASSERT_NO_FATAL_FAILURE(
            AnswerBox(run, run.Setting(L"Setting", L"S_MSG_PASS_SAVEOK"), IDOK));
    }
    ASSERT_TRUE(WaitUntil([&] { return FindPasswordDialog(*run.host) == nullptr; }, kFlowMs));
}

void ExpectPasswordSet(FlowRun& run) {
    if (run.Failing(Failure::Stops)) {
        ASSERT_TRUE(WaitUntil([&] { return !Checked(run.dialog, IDC_PASSWORD); }, 5000));
    }
    ExpectUsable(run);
    const bool stored = !run.Failing(Failure::Stops) && !run.Failing(Failure::Refused);
    EXPECT_EQ(Checked(run.dialog, IDC_PASSWORD), stored);
    EXPECT_EQ(run.sandbox.Engine().password, stored ? "abc123" : "");
}

void ActRemovePassword(FlowRun& run) {
    Click(run.dialog, IDC_PASSWORD);
    AnswerBox(run, run.Setting(L"SETTING", L"DISABLE_PASS"), IDOK);
}

void ExpectPasswordRemoved(FlowRun& run) {
    ExpectUsable(run);
    EXPECT_FALSE(Checked(run.dialog, IDC_PASSWORD));
}

using F = Failure;

const Flow kFlows[] = {
    {"Opening",
     {"GetProductInfo", "GetSpaceUsage", "GetProtectState", "GetSnapshotSetting", "GetCvxPassWord",
      "GetEventMonitorSetting"},
     {{"GetProductInfo", F::Stops},
      {"GetSpaceUsage", F::Stops},
      {"GetProtectState", F::Stops},
      {"GetSnapshotSetting", F::Stops},
      {"GetCvxPassWord", F::GoesOn},
      {"GetEventMonitorSetting", F::Stops}},
     {},
     true,
     [](sim::EngineState&) {},
     Nothing,
     ExpectUsable},
    {"Save",  // restore at start-up off, tray icon on: the shipped defaults
     {"GetProtectState", "GetSnapshotSetting", "ClearBootRestore", "SetBootEntry", "SetBootEntry",
      "RegisterTray", "SetSnapshotSetting", "SetEventMonitorSetting"},
     {{"GetProtectState", F::Stops},
      {"GetSnapshotSetting", F::Stops},
      {"ClearBootRestore", F::GoesOn},
      {"SetBootEntry", F::GoesOn},
      {"RegisterTray", F::GoesOn},
      {"SetSnapshotSetting", F::Stops},
      {"SetEventMonitorSetting", F::Stops}},
     {},
     false,
     [](sim::EngineState&) {},
     ActSave,
     ExpectSaveEnd},
    {"SaveArmed",  // restore at start-up armed, tray icon off
     {"GetProtectState", "GetSnapshotSetting", "GetSnapshotCount", "SetBootRestore",
      "UnregisterTray", "SetSnapshotSetting", "SetEventMonitorSetting"},
     {{"GetProtectState", F::Stops},
      {"GetSnapshotSetting", F::Stops},
      // A failed count that leaves the count at 0 is not an error: the restore is still
      // asked for (of index 0xFFFFFFFF), and the engine decides.
      {"GetSnapshotCount", F::GoesOn},
      {"SetBootRestore", F::GoesOn},
      {"UnregisterTray", F::GoesOn},
      {"SetSnapshotSetting", F::Stops},
      {"SetEventMonitorSetting", F::Stops}},
     {},
     false,
     [](sim::EngineState& s) {
         ArmRestore(s);
         s.snapshotSetting.bShowTrayIcon = 0;
     },
     ActSave,
     ExpectSaveEnd},
    {"SwitchOn",
     {"EnableProtect", "GetSnapshotSetting", "SetBootEntry"},
     {{"EnableProtect", F::Reported},
      {"GetSnapshotSetting", F::Stops},
      {"SetBootEntry", F::GoesOn}},
     {},
     false,
     [](sim::EngineState& s) {
         ArmRestore(s);
         s.protectOn = false;
     },
     ActSwitchOn,
     ExpectSwitchedOn},
    {"SwitchOff",
     {"DisableProtect", "SetBootEntry", "ClearBootRestore"},
     {{"DisableProtect", F::Reported},
      {"SetBootEntry", F::GoesOn},
      {"ClearBootRestore", F::GoesOn}},
     {},
     false,
     ArmRestore,
     ActSwitchOff,
     ExpectSwitchedOff},
    {"Resize",
     {"GetProductInfo", "GetSnapshotSetting", "ClearBootRestore", "SetBootEntry", "GetSpaceUsage"},
     // The question's caption is the product's; without it the question still works.
     {{"GetProductInfo", F::GoesOn},
      {"GetSnapshotSetting", F::Stops},
      {"ClearBootRestore", F::GoesOn},
      {"SetBootEntry", F::GoesOn},
      {"GetSpaceUsage", F::Stops}},
     {{L"] app =", 4}},
     false,
     PrepareResize,
     ActResize,
     ExpectResized},
    {"SetPassword",
     {"GetProductInfo", "GetCvxPassWord", "SetCvxPassWord"},
     {{"GetProductInfo", F::Stops}, {"GetCvxPassWord", F::GoesOn}, {"SetCvxPassWord", F::Refused}},
     {},
     false,
     [](sim::EngineState& s) { s.password.clear(); },
     ActSetPassword,
     ExpectPasswordSet},
    {"RemovePassword",
     {"SetCvxPassWord"},
     {{"SetCvxPassWord", F::Traced}},
     {{L"] SetCvxPassWord ret:%d\r\n", 1}},
     false,
     [](sim::EngineState& s) { s.password = "pw"; },
     ActRemovePassword,
     ExpectPasswordRemoved},
};

std::vector<Cell> AllCells() {
    std::vector<Cell> cells;
    for (const Flow& flow : kFlows) {
        cells.push_back({&flow, Mode::Clean, "", F::GoesOn});
        std::vector<std::string> seen;
        for (const std::string& op : flow.calls) {
            if (std::find(seen.begin(), seen.end(), op) != seen.end()) continue;
            seen.push_back(op);
            const auto failure = flow.onFailure.find(op);
            // An operation without a row fails the cell (see the test), never silently passes.
            cells.push_back({&flow, Mode::Fails, op,
                             failure == flow.onFailure.end() ? F::GoesOn : failure->second});
            cells.push_back({&flow, Mode::Slow, op, F::GoesOn});
        }
    }
    return cells;
}

std::string CellName(const Cell& cell) {
    switch (cell.mode) {
        case Mode::Clean:
            return std::string(cell.flow->name) + "_Clean";
        case Mode::Fails:
            return std::string(cell.flow->name) + "_" + cell.operation + "_Fails";
        case Mode::Slow:
            return std::string(cell.flow->name) + "_" + cell.operation + "_Slow";
    }
    return "?";
}

void PrintTo(const Cell& cell, std::ostream* out) {
    *out << CellName(cell);
}

std::string Joined(const std::vector<std::string>& calls) {
    std::string text;
    for (const auto& call : calls)
        text += call + " ";
    return text;
}

class FaultMatrixTest : public ::testing::TestWithParam<Cell> {
protected:
    void TearDown() override {
        run_.host.reset();
        sim::SignalTray();  // a tray application started by a save ends with the test
    }

    Sandbox sandbox_{SandboxName()};
    FlowRun run_{GetParam(), sandbox_};
};

TEST_P(FaultMatrixTest, DialogJournalLogAndMessagesFollowTheDesign) {
    const Cell& cell = GetParam();
    const Flow& flow = *cell.flow;
    FlowRun& run = run_;
    if (cell.mode == Mode::Fails) {
        ASSERT_EQ(flow.onFailure.count(cell.operation), 1u)
            << cell.operation << " is called by " << flow.name << " but has no row in its table";
    }
    sandbox_.UpdateEngine(flow.prepare);
    if (flow.forceBeforeOpening) run.Force();

    run.host = std::make_unique<HostProcess>(sandbox_);
    run.dialog = run.host->WaitForSettings(kFlowMs);
    ASSERT_NE(run.dialog, nullptr) << "the dialog did not open";
    if (!flow.forceBeforeOpening) {
        ForgetJournal(sandbox_);  // the opening's reads belong to the opening's own cells
        run.Force();
    }

    ASSERT_NO_FATAL_FAILURE(flow.act(run));
    EXPECT_TRUE(run.WaitForFlowEnd())
        << "the flow did not end; calls: " << Joined(run.EngineCalls());
    ASSERT_NO_FATAL_FAILURE(flow.expectEnd(run));

    // The engine: exactly the calls of a clean run, cut after a failure that stops the flow;
    // a skinned report reads the product caption once more.
    std::vector<std::string> calls = run.EngineCalls();
    if (run.Failing(F::Reported)) {
        const auto info = std::find(calls.begin(), calls.end(), "GetProductInfo");
        ASSERT_NE(info, calls.end()) << "the report did not read the product caption";
        calls.erase(info);
    }
    EXPECT_EQ(Joined(calls), Joined(run.ExpectedCalls()));
    if (cell.mode == Mode::Fails) {
        for (const auto& entry : JournalOf(sandbox_, cell.operation))
            EXPECT_EQ(entry.result, kCode) << entry.line;
    }

    // The log: the flow's own lines and, where the failure is logged, one line with the code.
    const auto lines = sandbox_.LogLines();
    const auto expected = run.ExpectedLog();
    ASSERT_EQ(lines.size(), expected.size()) << [&] {
        std::string all;
        for (const auto& line : lines)
            all += Narrow(line);
        return all;
    }();
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NE(lines[i].find(expected[i]), std::wstring::npos)
            << "line " << i << ": " << Narrow(lines[i]) << " expected: " << Narrow(expected[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Engine, FaultMatrixTest, ::testing::ValuesIn(AllCells()),
                         [](const ::testing::TestParamInfo<Cell>& info) {
                             return CellName(info.param);
                         });

}  // namespace
