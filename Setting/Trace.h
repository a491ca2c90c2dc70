// Traces for the debugger output. They never reach the log file.
#pragma once

#include <cstddef>

// Formats printf-style (%s takes a UTF-16 string) into a buffer of `capacity` characters,
// cutting what does not fit, and writes it with OutputDebugStringW.
void DebugTraceN(size_t capacity, const wchar_t* format, ...);

// The usual trace buffer: 1024 characters.
#define DebugTrace(...) DebugTraceN(1024, __VA_ARGS__)
