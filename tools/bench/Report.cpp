#include "Report.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

namespace bench {
namespace {

struct Stats {
    double median = 0, low = 0, high = 0;  // median, 10th and 90th percentile
};

Stats Summarise(std::vector<double> values) {
    Stats s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    auto at = [&](double q) { return values[static_cast<size_t>(q * (values.size() - 1) + 0.5)]; };
    s.median = at(0.5);
    s.low = at(0.1);
    s.high = at(0.9);
    return s;
}

double Median(const std::vector<double>& values) {
    return Summarise(values).median;
}

void PrintRow(const char* label, const Stats& s, const char* unit = "ms") {
    std::printf("  %-44s %9.2f %s   (p10 %.2f, p90 %.2f)\n", label, s.median, unit, s.low, s.high);
}

void PrintGrowth(const char* label, const ResourceGrowth& growth) {
    auto row = [&](const char* what, long long a, long long b, const char* unit) {
        std::printf("  %-34s %10lld%s %10lld%s %8lld%s\n",
                    (std::string(label) + ": " + what).c_str(), a, unit, b, unit, b - a, unit);
    };
    const harness::ResourceProbe &a = growth.after10, &b = growth.afterMany;
    row("GDI slot", static_cast<long long>(a.gdiSlot), static_cast<long long>(b.gdiSlot), "  ");
    row("kernel handle", static_cast<long long>(a.handle), static_cast<long long>(b.handle), "  ");
    row("working set", static_cast<long long>(a.workingSet / 1024),
        static_cast<long long>(b.workingSet / 1024), " K");
    row("committed memory", static_cast<long long>(a.committed / 1024),
        static_cast<long long>(b.committed / 1024), " K");
}

// Each kind of window's repaint alone, both dialogs side by side, the costliest first.
void PrintRepaintByWindow(const WarmOpenings& warm) {
    std::map<std::string, std::pair<double, double>> rows;
    for (int which = 0; which < 2; ++which) {
        for (const auto& [kind, times] : warm.repaintByKind[which]) {
            (which ? rows[kind].second : rows[kind].first) = Median(times);
        }
    }
    std::vector<std::pair<std::string, std::pair<double, double>>> sorted(rows.begin(), rows.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.second.first + a.second.second > b.second.first + b.second.second;
    });
    std::printf(
        "  each window repainted alone, by kind: ms (windows), settings dialog / baseline\n");
    double sum[2] = {0, 0};
    for (const auto& [kind, ms] : sorted) {
        const auto count = [&](int which) {
            const auto found = warm.windowsOfKind[which].find(kind);
            return found == warm.windowsOfKind[which].end() ? 0 : found->second;
        };
        std::printf("  %-34s %9.2f ms (%2d) %9.2f ms (%2d)\n", kind.c_str(), ms.first, count(0),
                    ms.second, count(1));
        sum[0] += ms.first;
        sum[1] += ms.second;
    }
    std::printf("  %-34s %9.2f ms      %9.2f ms\n", "sum", sum[0], sum[1]);
    std::printf("  %-34s %9.2f us      %9.2f us\n", "a message to the dialog",
                Median(warm.messageTrip[0][0]), Median(warm.messageTrip[1][0]));
    std::printf("  %-34s %9.2f us      %9.2f us\n\n", "a message to a check box",
                Median(warm.messageTrip[0][1]), Median(warm.messageTrip[1][1]));
}

}  // namespace

void PrintHeader(int reps, int dpi) {
    std::printf("SettingBench: %d repetitions after one warm-up each, %d dpi\n\n", reps, dpi);
}

void PrintOpenings(const WarmOpenings& warm) {
    const Stats skinned = Summarise(warm.skinned), plain = Summarise(warm.plain);
    std::printf("Open (call to painted and idle)\n");
    std::printf("  %-44s %9.2f ms\n", "first opening in the process", warm.first);
    PrintRow("settings dialog", skinned);
    PrintRow("settings dialog minus the engine's own time", Summarise(warm.skinnedNet));
    PrintRow("baseline: template 102, platform dialog", plain);
    std::printf("  %-44s %9.2f x   (target <= 1.20)\n", "ratio", skinned.median / plain.median);
    std::printf("  %-44s %9.2f x\n\n", "ratio without the engine's time",
                Median(warm.skinnedNet) / plain.median);
    if (!warm.phases) return;
    std::printf("Phases of a warm opening, from the call (settings dialog / baseline)\n");
    const char* names[] = {"initialised (WM_INITDIALOG returned)", "being shown (WM_SHOWWINDOW)",
                           "first erase of the dialog", "last paint of the dialog or a control"};
    const std::vector<double>* rows[] = {warm.phaseInit, warm.phaseShown, warm.phaseErase,
                                         warm.phasePaint};
    for (int i = 0; i < 4; ++i) {
        std::printf("  %-44s %9.2f ms %9.2f ms\n", names[i], Median(rows[i][0]),
                    Median(rows[i][1]));
    }
    std::printf("\n");
}

void PrintColdOpenings(const ColdOpenings& module, const ColdOpenings& baseline, int count,
                       bool phases) {
    const Stats skinned = Summarise(module.opened), plain = Summarise(baseline.opened);
    std::printf("First opening in a fresh process (module load to painted and idle), %d each\n",
                count);
    PrintRow("settings dialog", skinned);
    PrintRow("baseline", plain);
    std::printf("  %-44s %9.2f x   (target <= 1.30)\n", "ratio", skinned.median / plain.median);
    if (phases) {
        std::printf("  phases, from before loading the module (settings dialog / baseline)\n");
        const std::pair<const char*, std::vector<double> ColdOpenings::*> rows[] = {
            {"module loaded", &ColdOpenings::loaded},
            {"initialised (WM_INITDIALOG returned)", &ColdOpenings::initialised},
            {"first erase of the dialog", &ColdOpenings::firstErase},
            {"last paint of the dialog or a control", &ColdOpenings::lastPaint}};
        for (const auto& [name, member] : rows) {
            std::printf("  %-44s %9.2f ms %9.2f ms\n", name, Median(module.*member),
                        Median(baseline.*member));
        }
    }
    std::printf("\n");
}

void PrintRepaintSaveAndWork(const WarmOpenings& warm) {
    const Stats skinned = Summarise(warm.repaintSkinned), plain = Summarise(warm.repaintPlain);
    std::printf("Full repaint (invalidate all, update)\n");
    PrintRow("settings dialog", skinned);
    PrintRow("baseline", plain);
    std::printf("  %-44s %9.2f x   (target <= 0.60)\n\n", "ratio", skinned.median / plain.median);
    PrintRepaintByWindow(warm);
    std::printf("Save (OK to closed)\n");
    PrintRow("round trip", Summarise(warm.saveGross));
    PrintRow("round trip minus the engine's own time", Summarise(warm.saveNet));
    std::printf("\nWork per opening\n");
    std::printf("  %-44s %9ld\n", "INI reads", warm.iniReads);
    std::printf("  %-44s %9ld\n", "file opens by the module", warm.fileOpens);
    std::printf("  %-44s %9ld\n", "images decoded per opening", warm.imagesPerOpening);
    std::printf("  %-44s %9ld\n", "images decoded per full repaint", warm.imagesPerRepaint);
    std::printf("  %-44s %9ld\n", "GDI+ calls per opening", warm.gdiplusPerOpening);
    std::printf("  %-44s %9ld   (target 0)\n", "GDI+ calls per full repaint",
                warm.gdiplusPerRepaint);
}

void PrintResources(const Resources& resources) {
    std::printf("\nResources (probe objects; see docs/PERFORMANCE.md), N = %d openings\n",
                resources.openings);
    std::printf("  %-34s %12s %12s %10s\n", "", "after 10", "after N", "growth");
    PrintGrowth("settings dialog", resources.module);
    PrintGrowth("baseline", resources.baseline);
}

}  // namespace bench
