// Stand-in of the product's tray application. It has no window: it only takes part in the
// tray protocol of the settings module. It owns the named stop event; a second instance
// finds the event already there and leaves at once; setting the event ends the first.
// Each step is journaled: TrayStarted, then TrayAnotherInstance (exit 1) or
// TraySignalled (exit 0); TrayFailed if the event cannot be created.
#include <windows.h>

#include <string>
#include <system_error>

#include "SimJournal.h"
#include "SimState.h"

namespace {

constexpr int kExitAnotherInstance = 1;

void Journal(const std::wstring& folder, const char* step, DWORD result) {
    sim::AppendJournal(folder, sim::CallLine(step).Finish(result));
}

int Run() {
    const std::wstring folder = sim::HostFolder();
    sim::AppendJournal(folder, sim::CallLine("TrayStarted")
                                   .Text("commandLine", GetCommandLineW())
                                   .Text("folder", sim::CurrentFolder().c_str())
                                   .Finish(0));
    // Auto-reset: one SetEvent ends exactly one waiting instance.
    const HANDLE created = CreateEventW(nullptr, FALSE, FALSE, sim::kTrayEventName);
    const DWORD error = GetLastError();
    const sim::UniqueHandle event(created);
    if (!event) {
        Journal(folder, "TrayFailed", error);
        return static_cast<int>(error);
    }
    if (error == ERROR_ALREADY_EXISTS) {
        Journal(folder, "TrayAnotherInstance", kExitAnotherInstance);
        return kExitAnotherInstance;
    }
    WaitForSingleObject(event.Get(), INFINITE);
    Journal(folder, "TraySignalled", 0);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return Run();
    } catch (const std::system_error& error) {
        return error.code().value();
    } catch (...) {
        return ERROR_INTERNAL_ERROR;
    }
}
