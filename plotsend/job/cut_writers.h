#pragma once
// The two writers of the device command file. Each takes the job's points
// from `points` and everything else from `params`; the file at `path` is
// created or replaced.
#include <string>

#include "job/cut_params.h"
#include "job/point_source.h"

namespace plotsend {

// Every move as it is, dashed when params.dashes holds a pattern. False when
// the file cannot be written or the points could not all be read; a file
// that was at `path` then stays as it was.
bool WriteCutFile(const PointSource& points, const CutParams& params, const std::string& path);

// Paths cut with params.compensation: corners compensated for the blade
// offset, closed paths with a moved start and an overcut. 1 written; 0 when
// there is nothing to compensate (no file is then created), on a write
// failure or when the points could not all be read (as above).
int WriteCompensatedCutFile(const PointSource& points, const CutParams& params, const std::string& path);

}  // namespace plotsend
