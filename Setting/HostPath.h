// Where the host program lies. Every configuration file, skin image and tool of the module
// is found beside the executable of the process that loaded the module, and the log is named
// after it. Nothing here writes to the log.
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
