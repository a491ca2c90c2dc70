// The benchmark's report on standard output: medians with their 10th and 90th percentiles, and
// the ratios against the baseline with their targets.
#pragma once

#include "Measurement.h"

namespace bench {

void PrintHeader(int reps, int dpi);
// Open latency and, when noted, the phases of a warm opening.
void PrintOpenings(const WarmOpenings& warm);
// `count` processes each were asked for.
void PrintColdOpenings(const ColdOpenings& module, const ColdOpenings& baseline, int count,
                       bool phases);
// Full repaint, save round trip and the module's work per opening.
void PrintRepaintSaveAndWork(const WarmOpenings& warm);
void PrintResources(const Resources& resources);

}  // namespace bench
