// log_writer: writes records to the module's log through the module's own log code, as a
// second program that loads the module would. For the tests of writers in several processes.
//
//   log_writer.exe <writer id> <record count>
//
// Each record is the trace "writer <id> record <n> <filler>", n from 0 up. The log is
// virget_log_writer.exe.log in the temporary folder (TMP / TEMP of the caller). Exit code 0,
// or 2 for unusable arguments.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "ExceptionWrapper.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const int id = _wtoi(argv[1]);
    const int count = _wtoi(argv[2]);
    if (count <= 0) return 2;
    const std::wstring filler(40, L'z');
    for (int i = 0; i < count; ++i) {
        CExceptionWrapper(__LINE__, WFILE, L"writer %d record %d %s", id, i, filler.c_str())
            .WriteLog(CExceptionWrapper::kToLogFile);
    }
    return 0;
}
