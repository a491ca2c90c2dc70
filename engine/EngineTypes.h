// The integer and text types of the engine's records: the platform's own on Windows; on other
// systems (the window-free rules and the settings model also build natively for their tests)
// types of the same widths, so that every record keeps its size and offsets.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using WCHAR = char16_t;  // UTF-16, as the engine writes its texts
#endif
