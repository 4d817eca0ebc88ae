#pragma once
// For a fixed order of paths, the start of every path that makes the travel
// shortest: which way each open path is cut and at which vertex each closed
// path starts. A shortest path through the choices of consecutive paths
// (dynamic programming); a large closed path offers a spread of its
// vertices, always including its current start, so the travel never grows.
#include "job/path_tour.h"
#include "job/tour_improvement.h"

namespace plotsend {

// False when the deadline passed first (the tour is then unchanged).
bool ChooseStarts(PathTour& tour, const SectionPaths& paths, OrderClock::time_point deadline);

}  // namespace plotsend
