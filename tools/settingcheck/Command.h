// The settingcheck command line, as a function: the program's main calls it, and the tests
// call it the same way a user runs the program.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Checker.h"

namespace settingcheck {

constexpr int kExitClean = 0;
constexpr int kExitFindings = 1;
constexpr int kExitUnreadable = 2;  // also for a wrong command line

// `args` without the program name. Writes the report to `out`, problems to `err`.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The platform of this build: the platform's INI reader, GDI+ and GDI under Windows; the
// own INI reader and the width table natively.
Platform MakePlatform(bool estimateWidths);

// Reports in the two output forms.
void WriteText(const CheckResult& result, const std::string& folder, std::ostream& out);
void WriteJson(const CheckResult& result, const std::string& folder, bool estimated,
               std::ostream& out);

// The key reference (docs/CONFIGURATION.md), generated from the table of keys.
void WriteReference(std::ostream& out);

}  // namespace settingcheck
