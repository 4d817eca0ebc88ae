#pragma once
// The sticker contour: the outer outline of everything printed, grown by a
// distance, through Boost.Geometry's buffer (union and offset in one).
#include "cut/polylines.h"
#include "import/design.h"

namespace plotmark {

// Closed and filled paths count by their area, open stroked paths as lines;
// paths neither filled nor stroked are not printed and do not count. Holes
// are dropped: only outer rings are returned, closed.
Polylines GrownOutline(const Design& design, double distanceMm);

// Points on a full circle of radius r that keep every chord within
// kFlatnessMm of it.
int PointsPerCircle(double radiusMm);

}  // namespace plotmark
