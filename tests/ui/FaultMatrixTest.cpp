// Every engine operation the dialog calls, made to fail (and, where a worker thread calls it,
// made to answer slowly), in every flow that calls it: opening, saving (restore off with the
// tray on, and restore armed with the tray off), switching protection on and off, resizing
// the protected area, setting and removing the password.
//
// The flows and what each failure does are data (kFlows): the engine calls of a clean run,
// in order, and for each operation what its failure leads to. The cells are made from that
// table: a clean run of every flow, one run per operation that fails it, and one that delays
// it. Each cell checks the dialog's end state, the engine's journal (no call after a failure
// that stops the flow, nothing beyond a clean run), the log (one record with the code where
// the failure is logged) and the messages the user sees.
#include <algorithm>
#include <sstream>

#include "Session.h"

using namespace testsupport;

namespace {

constexpr DWORD kCode = 4321;     // the forced engine result
constexpr DWORD kSlowMs = 700;    // a slow engine answer: longer than one step of the dots
constexpr DWORD kFlowMs = 30000;  // upper bound for a flow to end, slow calls included

// What a failing operation leads to in a flow.
enum class Failure {
    GoesOn,    // its result is not raised: the flow goes on as in a clean run, nothing logged
    Stops,     // raised: one error record with the code; no engine call after it
    Reported,  // the skinned error report shows the flow's text; the code is logged once;
               // the flow goes on (the report reads the product caption: one GetProductInfo)
    Refused,   // the password dialog shows the failure text with the code and stays open
    Traced,    // only the flow's trace record carries the result
};
using F = Failure;
enum class Mode { Clean, Fails, Slow };

struct Flow;
struct Cell {
    const Flow* flow;
    Mode mode;
    std::string operation;  // empty for a clean run
    Failure failure;
};

class FlowRun;
struct Flow {
    const char* name;
    // The engine calls of a clean run, in order, each with what its failure leads to:
    // ":stops", ":reported", ":refused", ":traced", or nothing: the flow goes on.
    const char* calls;
    // What a clean run logs ("%d": the operation's result), and after how many engine calls.
    std::vector<std::pair<std::wstring, size_t>> log;
    bool opening;                 // the opening itself is the flow
    bool onWorker;                // the calls run on a worker thread
    const char* engine;           // engine state before the opening
    void (*act)(FlowRun&);        // the user's steps once the dialog is up
    void (*expectEnd)(FlowRun&);  // the dialog's state once the flow is over
};

// The calls of a flow, in order, and what each one's failure leads to.
std::vector<std::pair<std::string, Failure>> CallsOf(const Flow& flow) {
    const std::pair<const char*, Failure> marks[] = {{":stops", F::Stops},
                                                     {":reported", F::Reported},
                                                     {":refused", F::Refused},
                                                     {":traced", F::Traced}};
    std::vector<std::pair<std::string, Failure>> calls;
    std::istringstream words(flow.calls);
    for (std::string word; words >> word;) {
        Failure failure = F::GoesOn;
        for (const auto& [mark, kind] : marks) {
            const size_t at = word.find(mark);
            if (at != std::string::npos) word.resize(at), failure = kind;
        }
        calls.emplace_back(word, failure);
    }
    return calls;
}

class FlowRun {
public:
    FlowRun(const Cell& cell, Session& session) : cell(cell), session(session) {}

    bool Failing(Failure kind) const { return cell.mode == Mode::Fails && cell.failure == kind; }
    void Force() const {
        if (cell.mode == Mode::Fails) session.sandbox.FailEngine(cell.operation, kCode);
        if (cell.mode == Mode::Slow) session.sandbox.DelayEngine(cell.operation, kSlowMs);
    }
    const HostProcess& Host() const { return *session.host; }

    std::vector<std::string> ExpectedCalls() const {
        std::vector<std::string> calls;
        for (const auto& call : CallsOf(*cell.flow))
            calls.push_back(call.first);
        if (Failing(F::Stops)) {
            calls.resize(std::find(calls.begin(), calls.end(), cell.operation) - calls.begin() + 1);
        }
        return calls;
    }

    std::vector<std::wstring> ExpectedLog() const {
        std::vector<std::wstring> lines;
        const std::wstring code = std::to_wstring(cell.mode == Mode::Fails ? kCode : 0);
        for (auto [text, afterCalls] : cell.flow->log) {
            if (afterCalls > ExpectedCalls().size()) continue;  // the flow stopped before it
            const size_t at = text.find(L"%d");
            if (at != std::wstring::npos) text.replace(at, 2, Failing(F::Traced) ? code : L"0");
            lines.push_back(text);
        }
        if (Failing(F::Stops) || Failing(F::Reported)) lines.push_back(L"] Error = " + code + L" ");
        return lines;
    }

    // Waits until the flow has made its last engine call (or logged the failure that ends
    // it) and written its last log record, then until the host has handled what followed.
    bool WaitForFlowEnd() const {
        const size_t calls = ExpectedCalls().size() + (Failing(F::Reported) ? 1 : 0);
        const size_t lines = ExpectedLog().size();
        const bool ended =
            WaitUntil([&] { return session.EngineCalls().size() >= calls; }, kFlowMs) &&
            WaitUntil([&] { return session.Log().size() >= lines; }, kFlowMs);
        if (Host().Running()) Host().Settle();
        return ended;
    }

    const Cell& cell;
    Session& session;
    HWND dialog = nullptr;
};

// Any dialog of the host that is up and waits for the user, other than the settings dialog.
std::string OpenMessages(const HostProcess& host) {
    std::string open;
    if (host.FindMessageBox()) open += "message box; ";
    if (FindMessageDialog(host)) open += "message dialog; ";
    if (FindWaitingBox(host)) open += "waiting box; ";
    if (FindPasswordDialog(host)) open += "password dialog; ";
    return open;
}

void ExpectUsable(FlowRun& run) {
    ASSERT_TRUE(run.Host().Running()) << "the host has gone";
    EXPECT_TRUE(::IsWindowVisible(run.dialog)) << "the dialog is not shown";
    EXPECT_TRUE(::IsWindowEnabled(run.dialog)) << "the dialog takes no input";
    EXPECT_EQ(OpenMessages(run.Host()), "");
    EXPECT_TRUE(Answers(run.dialog)) << "the dialog's thread does not answer";
}

// The skinned report of a refused switch: the flow's text, then OK.
void ConfirmReport(FlowRun& run, const wchar_t* key) {
    HWND report = WaitForMessageDialog(run.Host(), kFlowMs);
    ASSERT_NE(report, nullptr) << "no error report";
    EXPECT_EQ(Text(report, IDC_MSG_TEXT), run.session.Setting(L"ERROR_STRING", key));
    Click(report, IDC_MSG_OK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(report); }));
}

void Nothing(FlowRun&) {}

void ActSave(FlowRun& run) {
    Click(run.dialog, IDC_BTN_OK);
}
void ExpectSaveEnd(FlowRun& run) {
    // Saving closes the dialog after a failure as after success.
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(run.dialog); }, kFlowMs)) << "not closed";
    EXPECT_TRUE(run.Host().Running());
}

void ActSwitchOn(FlowRun& run) {
    Click(run.dialog, IDC_CHECK_PROTECT);
    if (run.Failing(F::Reported)) ConfirmReport(run, L"IDS_ENABLE_ERROR");
}
void ExpectSwitchedOn(FlowRun& run) {
    ExpectUsable(run);
    ExpectControls(run.dialog, "protect=on restore=enabled");
}

void ActSwitchOff(FlowRun& run) {
    Click(run.dialog, IDC_CHECK_PROTECT);
    AnswerMessageBox(run.Host(), run.session.Setting(L"SETTING", L"DISABLE_CP_CONFIRM"), IDOK);
    if (run.Failing(F::Reported)) ConfirmReport(run, L"IDS_DISABLE_ERROR");
}
void ExpectSwitchedOff(FlowRun& run) {
    ExpectUsable(run);
    ExpectControls(run.dialog, "protect=off restore=greyed");
}

void ActResize(FlowRun& run) {
    ASSERT_EQ(sim::WriteInitNvOk(sim::kFlagAbsent), 0u);
    PostCommand(run.dialog, IDC_STATIC_RESIZE, STN_CLICKED);
    HWND question = WaitForMessageDialog(run.Host(), kFlowMs);
    ASSERT_NE(question, nullptr) << "no question";
    EXPECT_EQ(Text(question, IDC_MSG_TEXT), run.session.Setting(L"SETTING", L"RESIZEMSG"));
    Click(question, IDC_MSG_YES);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));
}
void ExpectResized(FlowRun& run) {
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(run.dialog) != FALSE; }, kFlowMs))
        << "the dialog was not shown again";
    run.Host().Settle();
    ExpectUsable(run);
}

void ActSetPassword(FlowRun& run) {
    Click(run.dialog, IDC_PASSWORD);
    if (run.Failing(F::Stops)) return;  // the password dialog cannot be set up
    HWND pass = run.Host().WaitForDialogWith(IDC_E_NEWPASS, kFlowMs);
    ASSERT_NE(pass, nullptr) << "no password dialog";
    SetEditText(pass, IDC_E_NEWPASS, L"abc123");
    SetEditText(pass, IDC_E_NEWPASS2, L"abc123");
    Click(pass, IDOK);
    if (run.Failing(F::Refused)) {
        std::wstring expected = run.session.Setting(L"Setting", L"S_MSG_PASS_SAVEFAIL");
        expected.replace(expected.find(L"%d"), 2, std::to_wstring(kCode));
        ASSERT_NO_FATAL_FAILURE(AnswerMessageBox(run.Host(), expected, IDOK));
        EXPECT_TRUE(::IsWindowVisible(pass)) << "a refused password closed the dialog";
        Click(pass, IDCANCEL);
    } else {
        ASSERT_NO_FATAL_FAILURE(AnswerMessageBox(
            run.Host(), run.session.Setting(L"Setting", L"S_MSG_PASS_SAVEOK"), IDOK));
    }
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(pass); }, kFlowMs));
}
void ExpectPasswordSet(FlowRun& run) {
    const bool stored = !run.Failing(F::Stops) && !run.Failing(F::Refused);
    EXPECT_TRUE(WaitUntil([&] { return Checked(run.dialog, IDC_PASSWORD) == stored; }, 5000));
    ExpectUsable(run);
    EXPECT_EQ(run.session.sandbox.Engine().password, stored ? "abc123" : "");
}

void ActRemovePassword(FlowRun& run) {
    Click(run.dialog, IDC_PASSWORD);
    AnswerMessageBox(run.Host(), run.session.Setting(L"SETTING", L"DISABLE_PASS"), IDOK);
}
void ExpectPasswordRemoved(FlowRun& run) {
    ExpectUsable(run);
    ExpectControls(run.dialog, "password=off");
}

// clang-format off
const Flow kFlows[] = {
    {"Opening", "GetProductInfo:stops GetSpaceUsage:stops GetProtectState:stops GetSnapshotSetting:stops "
                "GetCvxPassWord GetEventMonitorSetting:stops",
     {}, true, false, "", Nothing, ExpectUsable},
    // Restore at start-up off, tray icon on: the shipped defaults.
    {"Save", "GetProtectState:stops GetSnapshotSetting:stops ClearBootRestore SetBootEntry SetBootEntry RegisterTray "
             "SetSnapshotSetting:stops SetEventMonitorSetting:stops",
     {}, false, true, "", ActSave, ExpectSaveEnd},
    // Restore at start-up armed, tray icon off. A failed count that leaves the count at 0 is no
    // error: the restore is still asked for (of index 0xFFFFFFFF), and the engine decides.
    {"SaveArmed", "GetProtectState:stops GetSnapshotSetting:stops GetSnapshotCount SetBootRestore UnregisterTray "
                  "SetSnapshotSetting:stops SetEventMonitorSetting:stops",
     {}, false, true, "armed=1 tray=0", ActSave, ExpectSaveEnd},
    {"SwitchOn", "EnableProtect:reported GetSnapshotSetting:stops SetBootEntry", {}, false, true, "armed=1 protect=0",
     ActSwitchOn, ExpectSwitchedOn},
    {"SwitchOff", "DisableProtect:reported SetBootEntry ClearBootRestore", {}, false, true, "armed=1", ActSwitchOff,
     ExpectSwitchedOff},
    // The question's caption is the product's; without it the question still works.
    {"Resize", "GetProductInfo GetSnapshotSetting:stops ClearBootRestore SetBootEntry GetSpaceUsage:stops",
     {{L"] app =", 4}}, false, false, "armed=1", ActResize, ExpectResized},
    {"SetPassword", "GetProductInfo:stops GetCvxPassWord SetCvxPassWord:refused", {}, false, false, "",
     ActSetPassword, ExpectPasswordSet},
    {"RemovePassword", "SetCvxPassWord:traced", {{L"] SetCvxPassWord ret:%d\r\n", 1}}, false, false, "password=pw",
     ActRemovePassword, ExpectPasswordRemoved},
};
// clang-format on

std::vector<Cell> CellsOf(const Flow& flow) {
    std::vector<Cell> cells{{&flow, Mode::Clean, "", F::GoesOn}};
    std::vector<std::string> seen;
    for (const auto& [op, failure] : CallsOf(flow)) {
        if (std::find(seen.begin(), seen.end(), op) != seen.end()) continue;
        seen.push_back(op);
        cells.push_back({&flow, Mode::Fails, op, failure});
        if (flow.onWorker) cells.push_back({&flow, Mode::Slow, op, F::GoesOn});
    }
    return cells;
}

std::string CellName(const Cell& cell) {
    const char* modes[] = {"clean", "fails", "slow"};
    return std::string(cell.flow->name) + " " + cell.operation + " " + modes[int(cell.mode)];
}

void RunCell(Session& session, const Cell& cell) {
    const Flow& flow = *cell.flow;
    FlowRun run(cell, session);
    // The resize tool shows its window briefly and sets its flag.
    session.Prepare(flow.engine);
    session.sandbox.UpdateEngine([](sim::EngineState& s) { s.tessinit.delayMs = 100; });
    if (flow.opening) run.Force();
    run.dialog = session.host->OpenSettings(kFlowMs);
    ASSERT_NE(run.dialog, nullptr) << "the dialog did not open";
    if (!flow.opening) {
        session.ForgetCalls();  // the opening's reads belong to the opening's own cells
        run.Force();
    }

    ASSERT_NO_FATAL_FAILURE(flow.act(run));
    EXPECT_TRUE(run.WaitForFlowEnd())
        << "the flow did not end; calls: " << Joined(session.EngineCalls());
    ASSERT_NO_FATAL_FAILURE(flow.expectEnd(run));

    // The engine: exactly the calls of a clean run, cut after a failure that stops the flow;
    // a skinned report reads the product caption once more.
    std::vector<std::string> calls = session.EngineCalls();
    if (run.Failing(F::Reported)) {
        const auto info = std::find(calls.begin(), calls.end(), "GetProductInfo");
        ASSERT_NE(info, calls.end()) << "the report did not read the product caption";
        calls.erase(info);
    }
    EXPECT_EQ(Joined(calls), Joined(run.ExpectedCalls()));
    if (cell.mode == Mode::Fails) {
        for (const auto& entry : session.Entries(cell.operation))
            EXPECT_EQ(entry.result, kCode) << entry.line;
    }
    session.ExpectLog(run.ExpectedLog());
    session.Close(run.dialog);
}

class FaultMatrixTest : public ::testing::TestWithParam<const Flow*> {};

TEST_P(FaultMatrixTest, EveryCellEndsAsDesigned) {
    Session session;
    for (const Cell& cell : CellsOf(*GetParam())) {
        SCOPED_TRACE(CellName(cell));
        RunCell(session, cell);
        StopTrays();  // a tray application started by a save ends with its cell
    }
}

INSTANTIATE_TEST_SUITE_P(Flows, FaultMatrixTest, ::testing::ValuesIn([] {
                             std::vector<const Flow*> flows;
                             for (const Flow& flow : kFlows)
                                 flows.push_back(&flow);
                             return flows;
                         }()),
                         [](const ::testing::TestParamInfo<const Flow*>& info) {
                             return std::string(info.param->name);
                         });

}  // namespace
