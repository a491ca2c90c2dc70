// SettingBench: how fast the settings dialog opens, repaints and saves, measured against the
// platform's own dialog of the same template in the same process, and what an opening costs
// in INI reads, file opens, image decodes and resources.
//
//   SettingBench.exe [--reps N] [--openings N] [--cold N] [--phases] [--dpi N]
//
// --cold N starts N fresh processes for each dialog and times, in each, the first opening
// (module load and first call to painted and idle). --phases prints where the time of a warm
// opening goes. --dpi N checks that the display runs at N dpi (bench.sh --dpi N makes it so).
//
// The module is loaded like a host loads it. Its imports of INI reads, file opens, image
// decodes and engine calls are redirected to counting wrappers (ImportCounters.h), so nothing
// in the module changes for the measurement. The simulated engine and the log use a temporary
// folder of their own. Measurement.h says what is measured, Report.h how it is printed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "ImportCounters.h"
#include "LoadedModule.h"
#include "Measurement.h"
#include "Report.h"
#include "Ui.h"

namespace {

int Arg(int argc, wchar_t** argv, const wchar_t* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (wcscmp(argv[i], name) == 0) return std::max(1, _wtoi(argv[i + 1]));
    }
    return fallback;
}

bool Flag(int argc, wchar_t** argv, const wchar_t* name) {
    for (int i = 1; i < argc; ++i) {
        if (wcscmp(argv[i], name) == 0) return true;
    }
    return false;
}

// A folder of this run's own in the temporary folder, for the simulated engine, the module's
// log and the fresh processes' figures.
std::wstring PrepareFolder() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"SettingBench-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::SetEnvironmentVariableW(L"PELLUCIDSIM_FOLDER", folder.c_str());
    ::SetEnvironmentVariableW(L"TMP", folder.c_str());
    ::SetEnvironmentVariableW(L"TEMP", folder.c_str());
    return folder;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int reps = Arg(argc, argv, L"--reps", 30);
    const int openings = Arg(argc, argv, L"--openings", 1000);
    const int cold = Arg(argc, argv, L"--cold", 10);
    const bool phases = Flag(argc, argv, L"--phases");
    const int dpi = Arg(argc, argv, L"--dpi", harness::DisplayDpi());
    if (argc == 4 && wcscmp(argv[1], L"--first") == 0)
        return bench::RecordFirstOpening(argv[2], argv[3]);
    if (dpi != harness::DisplayDpi()) {
        std::printf("the display runs at %d dpi, not %d (scripts/bench.sh --dpi %d)\n",
                    harness::DisplayDpi(), dpi, dpi);
        return 2;
    }
    const std::wstring folder = PrepareFolder();

    const bench::LoadedModule module(L"Setting.dll");
    const bench::ShowDlgSettingFn show = bench::ShowDlgSettingOf(module.Handle());
    if (!show) {
        std::printf("cannot load Setting.dll (error %lu)\n", ::GetLastError());
        return 1;
    }
    const bench::ImportCounters counters(module.Handle());
    bench::Openings dialogs(module.Handle(), show);

    bench::PrintHeader(reps, dpi);
    const bench::WarmOpenings warm = bench::MeasureWarmOpenings(dialogs, reps, phases);
    bench::PrintOpenings(warm);
    if (cold > 0) {
        const bench::ColdOpenings coldModule = bench::MeasureColdOpenings(L"module", cold, folder);
        const bench::ColdOpenings coldBaseline =
            bench::MeasureColdOpenings(L"baseline", cold, folder);
        bench::PrintColdOpenings(coldModule, coldBaseline, cold, phases);
    }
    bench::PrintRepaintSaveAndWork(warm);
    bench::PrintResources(bench::MeasureResources(dialogs, openings));
    return 0;
}
