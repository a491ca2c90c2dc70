// Calling the engine from the settings dialog's units: a zero-filled record of its own for
// each call, and a result other than 0 raised with its own value as the code.
#pragma once

#include <windows.h>

#include <memory>

#include "ExceptionWrapper.h"

inline void CheckEngine(DWORD result, int line, const wchar_t* sourcePath) {
    if (result != 0) throw CExceptionWrapper(static_cast<int>(result), line, sourcePath);
}
#define CHECK_ENGINE(call) CheckEngine((call), __LINE__, WFILE)

template <class Record>
std::unique_ptr<Record> NewRecord() {
    return std::make_unique<Record>();  // zero-filled; an allocation failure is raised as 8
}
