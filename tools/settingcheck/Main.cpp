// settingcheck: checks a folder's Setting.ini, CreateDisk.ini and skin images as the settings
// module reads them. One source set, built natively and for Windows.
#include <iostream>

#include "Command.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include "Strings.h"
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    // The wide command line, so that folder names outside the ANSI code page survive.
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i)
        args.push_back(settingcheck::ToUtf8(wide[i]));
    if (wide) ::LocalFree(wide);
#else
    args.assign(argv + 1, argv + argc);
#endif
    (void)argc;
    (void)argv;
    return settingcheck::RunCommand(args, std::cout, std::cerr);
}
