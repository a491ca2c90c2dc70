#include "Trace.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>
#include <vector>

void DebugTraceN(size_t capacity, const wchar_t* format, ...) {
    if (!format || capacity == 0) return;
    std::vector<wchar_t> buffer(capacity, L'\0');
    va_list args;
    va_start(args, format);
    const int written = _vsnwprintf(buffer.data(), capacity - 1, format, args);
    va_end(args);
    if (written >= 0 && static_cast<size_t>(written) < capacity) buffer[written] = L'\0';
    buffer[capacity - 1] = L'\0';
    ::OutputDebugStringW(buffer.data());
}
