// A small language for the settings dialog's tables, so that a row reads like what a user
// and the engine see:
//
//   engine:   "protect=0 restore=1 choice=0 schedule=1@120 events=0x3@60 toaster=0 tray=1
//              password=pw product=Acme count=5 usage=10485760/5242880"
//   actions:  "click schedule, select cycleList 3, click restore"
//   controls: "restore=on,greyed restoreList=#1 cycle=on,greyed cycleList=#-1,items=7"
//
// Control names: protect schedule scheduleList scheduleUnit systemFolder newProgram cycle
// cycleList cycleUnit restore restoreList toTheLatest tray toaster password apply ok usage
// resize. States: on, off (checked), enabled, greyed, shown, hidden, #N (list selection),
// items=N (list entries).
#pragma once

#include <windows.h>

#include <string>

#include "ScenarioText.h"
#include "SimState.h"

namespace testsupport {

// Control id of a name above; 0 for an unknown name.
int ControlId(const std::string& name);

// Does what `actions` say to the dialog, waiting after each until the dialog has handled it.
void Act(HWND dialog, const std::string& actions);

// Checks every claim of `controls` (each mismatch is one failure naming the control).
void ExpectControls(HWND dialog, const std::string& controls);

// Waits until the dialog's thread has handled everything posted to it so far.
void Flush(HWND dialog);

}  // namespace testsupport
