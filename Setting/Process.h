// Starting the product's programs.
#pragma once

#include <windows.h>

#include <string>

// Starts `program` with `commandLine` in `folder`, shown (show-default) or hidden. With
// `wait`, returns only when the program has ended; messages sent to the calling thread are
// answered meanwhile. 0, or the platform's error when the start fails.
DWORD RunProgram(const std::wstring& program, const std::wstring& commandLine,
                 const std::wstring& folder, bool show, bool wait);

// Reads a string value (REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ) of `root`\`subKey` into
// `buffer` of `bufferBytes` bytes. 0; 87 for a missing argument; 1010 for another type; or
// the platform's error.
LONG ReadRegString(HKEY root, const wchar_t* subKey, const wchar_t* valueName, wchar_t* buffer,
                   DWORD bufferBytes);
