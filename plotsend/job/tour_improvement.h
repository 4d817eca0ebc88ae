#pragma once
// Shortens a cut order by local moves: 2-opt (a run of paths cut in the
// opposite order and direction), Or-opt (a run of up to three paths moved
// elsewhere, turned round or not) and a closed path's start moved to the
// vertex nearest its neighbours. Candidates come from each path's nearest
// paths (`near`); a move is taken only when it shortens the travel and keeps every
// enclosed contour before its encloser.
#include <chrono>

#include "job/near_paths.h"
#include "job/path_nesting.h"
#include "job/path_tour.h"

namespace plotsend {

using OrderClock = std::chrono::steady_clock;

// Improves `tour` until no move shortens it (true) or `deadline` has
// passed (false). `turnPaths` false: only moves that keep every path as
// drawn (Or-opt without turning).
bool ImproveTour(PathTour& tour, const SectionPaths& paths, const Nesting& nesting, NearPaths& near, bool turnPaths,
                 OrderClock::time_point deadline);

}  // namespace plotsend
