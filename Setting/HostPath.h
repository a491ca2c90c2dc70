// Where the host program lies. Every configuration file, skin image and tool of the module
// is found beside the executable of the process that loaded the module.
#pragma once

#include <string>

// Full path of the host process's executable; empty when it does not fit the platform's
// path buffer (MAX_PATH characters).
std::wstring HostExecutablePath();

// The folder of the host executable, without a trailing backslash; empty as above.
std::wstring HostDirectory();
