// The table rows' small language as text, free of windows, so that the settings model's
// native tests and the UI tests read the same rows (Scenario.h describes the language):
// engine descriptions applied to the simulated engine's state, actions and control claims
// split into their words.
#pragma once

#include <string>
#include <vector>

#include "SimSchema.h"

namespace testsupport {

// `text` cut at `separator`, each piece trimmed of blanks, empty pieces left out.
std::vector<std::string> Split(const std::string& text, char separator);

// Applies an engine description to `state` (unknown keys fail the test).
void DescribeEngine(sim::EngineState& state, const std::string& description);

// One action: "click schedule" or "select cycleList 3".
struct Action {
    std::string verb;     // "click" or "select"
    std::string control;  // a control name
    int entry = -1;       // for "select"
};
// The actions of a row; an action that cannot be read fails the test and is left out.
std::vector<Action> Actions(const std::string& actions);

// One claim: a control name and the states claimed for it ("on", "greyed", "#2", "items=7").
struct Claim {
    std::string control;
    std::vector<std::string> states;
};
// The claims of a row; a claim that cannot be read fails the test and is left out.
std::vector<Claim> Claims(const std::string& controls);

// Checks claims on the records a save wrote: "enable=1 minutes=120 flags=0x3" with the fields
// enable, minutes, suppress, tray, restore, choice (the settings) and flags, cycle (the event
// settings; `events` null when none were written, which fails a claim on them).
void ExpectRecordsWritten(const SNAPSHOT_SETTING& snapshot, const EVENT_MONITOR_SETTING* events,
                          const std::string& claims);

}  // namespace testsupport
