// Where the host program lies. Every configuration file, skin image and tool of the module
// is found beside the executable of the process that loaded the module.
#pragma once

#include <string>

// Full path of the host process's executable; empty when it does not fit the platform's
// path buffer (MAX_PATH characters).
std::wstring HostExecutablePath();

// The folder of the host executable, without a trailing backslash; empty as above.
std::wstring HostDirectory();

// The file name of the host executable, also when its full path is too long for the
// platform's path buffer (the log file is named after it).
std::wstring HostExecutableName();

// Tells the log and the debugger output that the host's folder cannot be used because its
// path is too long: nothing beside the executable (configuration, skin, tools) is read.
void ReportUnusableHostFolder();

// Whether the configuration file at `path` exists; when it does not, a trace in the log says
// so (its texts and places then read as empty).
bool CheckConfigFile(const std::wstring& path);
