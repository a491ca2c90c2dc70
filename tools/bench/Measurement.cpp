#include "Measurement.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "Clock.h"
#include "ImportCounters.h"
#include "LoadedModule.h"
#include "PhaseHook.h"
#include "Process.h"
#include "resource.h"

namespace bench {
namespace {

double TimeRepaint(HWND dialog) {
    const double start = Now();
    ::RedrawWindow(dialog, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return Now() - start;
}

// What a window is, for the report: the dialog, or a control by class and button type.
std::string KindOf(HWND hwnd) {
    wchar_t name[64] = L"";
    ::GetClassNameW(hwnd, name, 64);
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    if (!(style & WS_CHILD)) return "dialog";
    if (_wcsicmp(name, L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
                return "check box";
            case BS_OWNERDRAW:
                return "owner-drawn button";
            case BS_GROUPBOX:
                return "group box";
            default:
                return "button";
        }
    }
    char narrow[64];
    std::snprintf(narrow, sizeof narrow, "%ls", name);
    return narrow;
}

double TimeRedraw(HWND window, UINT flags) {
    const double start = Now();
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | flags);
    return Now() - start;
}

// One message's round trip to `window` and back, in microseconds: what every message a paint
// sends costs before its handler runs.
double MessageTrip(HWND window) {
    constexpr int kTrips = 20;
    const double start = Now();
    for (int i = 0; i < kTrips; ++i)
        ::SendMessageW(window, WM_NULL, 0, 0);
    return (Now() - start) * 1000.0 / kTrips;
}

// Each window repainted alone, the dialog without its controls first: what each kind of window
// costs, free of any hook's own cost (a hook on the thread's messages costs Wine a round trip to
// its server per message, more than most of the messages themselves). And a message's trip to
// the dialog and to its first check box.
void TimeRepaintByWindow(HWND dialog, WarmOpenings& warm, int which) {
    std::map<std::string, double> took{{KindOf(dialog), TimeRedraw(dialog, RDW_NOCHILDREN)}};
    std::map<std::string, int> windows{{KindOf(dialog), 1}};
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        const std::string kind = KindOf(child);
        took[kind] += TimeRedraw(child, RDW_ALLCHILDREN);
        ++windows[kind];
    }
    for (const auto& [kind, ms] : took)
        warm.repaintByKind[which][kind].push_back(ms);
    warm.windowsOfKind[which] = windows;
    warm.messageTrip[which][0].push_back(MessageTrip(dialog));
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (KindOf(child) != "check box") continue;
        warm.messageTrip[which][1].push_back(MessageTrip(child));
        break;
    }
}

// The phases of the opening that just ended, as `which` of the warm openings.
void NotePhases(WarmOpenings& warm, int which) {
    const Phases& noted = PhaseHook::Noted();
    warm.phaseInit[which].push_back(noted.initialised - noted.start);
    warm.phaseShown[which].push_back(noted.shown - noted.start);
    warm.phaseErase[which].push_back(noted.firstErase - noted.start);
    warm.phasePaint[which].push_back(noted.lastPaint - noted.start);
}

// One opening of the module's dialog, repainted in full at idle, then closed.
void OpenAndRepaintModule(Openings& openings, WarmOpenings& warm) {
    const CallCounts before = ImportCounters::Counts();
    CallCounts atIdle;
    double repaint = 0;
    long imagesBeforeRepaint = 0;
    PhaseHook::Start(Now());
    warm.skinned.push_back(openings.OpenModule([&](HWND dialog) {
        if (warm.phases) NotePhases(warm, 0);
        atIdle = ImportCounters::Counts();
        imagesBeforeRepaint = atIdle.imageDecodes;
        repaint = TimeRepaint(dialog);
        TimeRepaintByWindow(dialog, warm, 0);
        const CallCounts repainted = ImportCounters::Counts();
        warm.imagesPerRepaint = repainted.imageDecodes - imagesBeforeRepaint;
        warm.gdiplusPerRepaint = repainted.gdiplusCalls - atIdle.gdiplusCalls;
        CloseModuleDialog(dialog);
    }));
    const long long engineOpening = atIdle.engineMicros - before.engineMicros;
    warm.skinnedNet.push_back(warm.skinned.back() - static_cast<double>(engineOpening) / 1000.0);
    warm.repaintSkinned.push_back(repaint);
    const CallCounts after = ImportCounters::Counts();
    warm.iniReads = after.iniReads - before.iniReads;
    warm.fileOpens = after.fileOpens - before.fileOpens;
    warm.imagesPerOpening = imagesBeforeRepaint - before.imageDecodes;
    warm.gdiplusPerOpening = atIdle.gdiplusCalls - before.gdiplusCalls;
}

// The same for the baseline.
void OpenAndRepaintBaseline(Openings& openings, WarmOpenings& warm) {
    double repaint = 0;
    PhaseHook::Start(Now());
    warm.plain.push_back(openings.OpenBaseline([&](HWND dialog) {
        if (warm.phases) NotePhases(warm, 1);
        repaint = TimeRepaint(dialog);
        TimeRepaintByWindow(dialog, warm, 1);
        CloseBaselineDialog(dialog);
    }));
    warm.repaintPlain.push_back(repaint);
}

// Save round trip: OK pressed at idle, until the dialog has closed.
void SaveOnce(Openings& openings, WarmOpenings& warm) {
    double clicked = 0;
    long long engineBefore = 0;
    openings.OpenModule([&](HWND dialog) {
        engineBefore = ImportCounters::Counts().engineMicros;
        clicked = Now();
        ::PostMessageW(::GetDlgItem(dialog, IDC_BTN_OK), BM_CLICK, 0, 0);
    });
    const double gross = Now() - clicked;
    const double engine =
        static_cast<double>(ImportCounters::Counts().engineMicros - engineBefore) / 1000.0;
    warm.saveGross.push_back(gross);
    warm.saveNet.push_back(gross - engine);
}

ResourceGrowth MeasureGrowth(int count, const std::function<void()>& openOnce) {
    ResourceGrowth growth;
    for (int i = 0; i < 10; ++i)
        openOnce();
    growth.after10 = harness::TakeResourceProbe();
    for (int i = 0; i < count - 10; ++i)
        openOnce();
    growth.afterMany = harness::TakeResourceProbe();
    return growth;
}

}  // namespace

WarmOpenings MeasureWarmOpenings(Openings& openings, int reps, bool phases) {
    WarmOpenings warm;
    // Warm-up: the first opening in a process pays for loading fonts, GDI+ and the codecs.
    warm.first = openings.OpenModule(&CloseModuleDialog);
    openings.OpenBaseline(&CloseBaselineDialog);

    const std::unique_ptr<PhaseHook> hook = phases ? std::make_unique<PhaseHook>() : nullptr;
    warm.phases = hook && hook->Active();
    for (int i = 0; i < reps; ++i) {
        OpenAndRepaintModule(openings, warm);
        OpenAndRepaintBaseline(openings, warm);
        SaveOnce(openings, warm);
    }
    return warm;
}

int RecordFirstOpening(const std::wstring& which, const std::wstring& file) {
    HostWindow host;
    const PhaseHook hook;
    const double start = Now();
    PhaseHook::Start(start);
    const LoadedModule module(L"Setting.dll");
    const double loaded = Now() - start;
    if (!module.Handle()) return 1;
    double opened = 0;
    if (which == L"module") {
        const ShowDlgSettingFn show = ShowDlgSettingOf(module.Handle());
        if (!show) return 1;
        host.TimeToIdle(
            [&](HWND dialog) {
                opened = Now() - start;
                CloseModuleDialog(dialog);
            },
            [&] { show(host.Handle()); });
    } else {
        const harness::ManifestContext controls(module.Handle());
        host.TimeToIdle(
            [&](HWND dialog) {
                opened = Now() - start;
                CloseBaselineDialog(dialog);
            },
            [&] { RunBaselineDialog(module.Handle(), host.Handle(), controls); });
    }
    FILE* out = _wfopen(file.c_str(), L"w");
    if (!out) return 1;
    const Phases& noted = PhaseHook::Noted();
    std::fprintf(out, "%.3f %.3f %.3f %.3f %.3f\n", opened, loaded, noted.initialised - start,
                 noted.firstErase - start, noted.lastPaint - start);
    std::fclose(out);
    return 0;
}

ColdOpenings MeasureColdOpenings(const std::wstring& which, int count, const std::wstring& folder) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ColdOpenings times;
    for (int i = 0; i < count; ++i) {
        const std::wstring file = folder + L"\\cold-" + std::to_wstring(i) + L".txt";
        {
            harness::Process process(L"\"" + std::wstring(self) + L"\" --first " + which + L" \"" +
                                     file + L"\"");
            if (!process.Started()) continue;
            process.WaitForExit(60000);
        }
        if (FILE* in = _wfopen(file.c_str(), L"r")) {
            double v[5] = {};
            if (std::fscanf(in, "%lf %lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3], &v[4]) == 5) {
                times.opened.push_back(v[0]);
                times.loaded.push_back(v[1]);
                times.initialised.push_back(v[2]);
                times.firstErase.push_back(v[3]);
                times.lastPaint.push_back(v[4]);
            }
            std::fclose(in);
        }
        ::DeleteFileW(file.c_str());
    }
    return times;
}

Resources MeasureResources(Openings& openings, int count) {
    Resources resources;
    resources.openings = count;
    resources.module = MeasureGrowth(count, [&] { openings.OpenModule(&CloseModuleDialog); });
    resources.baseline = MeasureGrowth(count, [&] { openings.OpenBaseline(&CloseBaselineDialog); });
    return resources;
}

}  // namespace bench
