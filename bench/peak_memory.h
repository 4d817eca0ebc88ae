#pragma once
// Peak resident memory of this process, for the benchmark report.
#include <cstdint>

namespace plotsend {

// Highest resident set size of the whole run so far, in bytes (0 if unknown).
int64_t ProcessPeakRss();

// A resettable high-water mark, to see what one stage needs by itself.
// ResetStagePeak returns false where the system cannot reset it; StagePeakRss
// then returns 0.
bool ResetStagePeak();
int64_t StagePeakRss();

}  // namespace plotsend
