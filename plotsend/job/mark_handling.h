#pragma once
// Where the job is put before it is written: moved by the origin offset,
// or mapped onto the measured marks.
#include <cstdint>

#include "job/cut_params.h"
#include "job/plt_file.h"

namespace plotsend {

// The origin offset (dx, dy), in units. Four-mark jobs whose marks were
// measured get the four-mark correction instead; the sectioned types move
// by the mark margin along x as well.
void ApplyMarkHandling(CPLTFile& job, const CutParams& params, int32_t dx, int32_t dy);

}  // namespace plotsend
