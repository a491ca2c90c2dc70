// What the benchmark measures: warm openings, repaints and saves of the module's dialog against
// the baseline in this process; first openings in fresh processes; and what many openings
// leave behind (harness::ResourceProbe). Times in milliseconds.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Openings.h"
#include "ResourceProbe.h"

namespace bench {

// Openings in a process that has opened each dialog once before.
struct WarmOpenings {
    double first = 0;  // the module's first opening in the process: fonts, GDI+, the codecs
    std::vector<double> skinned, skinnedNet, plain;  // net: without the engine's own time
    std::vector<double> repaintSkinned, repaintPlain;
    std::vector<double> saveGross, saveNet;  // OK pressed at idle, until the dialog has closed
    // With phases noted: [0] the module's dialog, [1] the baseline, from the call.
    bool phases = false;
    std::vector<double> phaseInit[2], phaseShown[2], phaseErase[2], phasePaint[2];
    // And each window's own repaint, alone, by kind ("check box"): the times of each repaint
    // and how many windows of the kind there are.
    std::map<std::string, std::vector<double>> repaintByKind[2];
    std::map<std::string, int> windowsOfKind[2];
    std::vector<double> messageTrip[2][2];  // microseconds: [dialog][0 the dialog, 1 a check box]
    // The module's work in its last opening and its last full repaint.
    long iniReads = 0, fileOpens = 0, imagesPerOpening = 0, imagesPerRepaint = 0;
    long gdiplusPerOpening = 0, gdiplusPerRepaint = 0;
};
WarmOpenings MeasureWarmOpenings(Openings& openings, int reps, bool phases);

// The first opening of one dialog in fresh processes, from just before loading the module.
struct ColdOpenings {
    std::vector<double> opened, loaded, initialised, firstErase, lastPaint;
};
// `which` is "module" or "baseline"; `folder` receives each process's figures for a moment.
ColdOpenings MeasureColdOpenings(const std::wstring& which, int count, const std::wstring& folder);
// In such a process ("--first WHICH FILE"): opens the dialog as the first thing it does with
// the module and writes its figures into `file`. Returns the exit code.
int RecordFirstOpening(const std::wstring& which, const std::wstring& file);

// The probe after 10 openings (closed at once when idle) and after `openings`.
struct ResourceGrowth {
    harness::ResourceProbe after10, afterMany;
};
struct Resources {
    int openings = 0;
    ResourceGrowth module, baseline;  // the baseline: the platform's own share
};
Resources MeasureResources(Openings& openings, int count);

}  // namespace bench
