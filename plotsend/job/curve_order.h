#pragma once
// A second first order beside nearest-neighbour: the paths along a Hilbert
// curve through the middles of their boxes. Near paths come together in
// small groups (two by two on a grid), which nearest-neighbour, always
// entering a path at its nearest point, does not find.
#include <vector>

#include "job/path_nesting.h"
#include "job/path_order.h"

namespace plotsend {

// Every path once, each from its drawn start; an enclosed contour is moved
// just before the first of its enclosers.
std::vector<PathCut> CurveOrder(const SectionPaths& paths, const Nesting& nesting);

}  // namespace plotsend
