#pragma once
// Cut order: the order in which a section's paths are cut, which way each
// open path is cut and at which vertex each closed path starts, chosen to
// shorten the pen-up travel. Every path keeps all of its segments. Closed
// paths are cut before the closed paths that enclose them. The order starts
// with the nearest path end (found in a k-d tree), then 2-opt and Or-opt
// moves shorten it for as long as the time budget allows; a move is only
// taken when it shortens the travel, so the result is never longer than
// nearest-neighbour, nor than the drawn order when that already cuts
// enclosed contours first.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "job/section_paths.h"

namespace plotsend {

// How one path is cut: from vertex `start` of its points. An open path
// starts at 0 (as drawn) or at its last point (reversed); a closed path at
// any of its vertices, and goes round in its drawn direction back to it.
struct PathCut {
  uint32_t path = 0;
  uint32_t start = 0;
  bool operator==(const PathCut&) const = default;
};

struct OrderOptions {
  OrderPoint from;  // where the head stands before the first path
  OrderPoint to;    // where it goes after the last
  // Wall-clock time the call may take: nearest-neighbour and the first
  // orders always run, the improvement stops early enough for the call to
  // return within the budget.
  double budgetSeconds = 1.0;
  // False: every path is cut from its drawn start in its drawn direction,
  // only the order changes (dashes are laid from a path's start).
  bool turnPaths = true;
};

struct OrderResult {
  std::vector<PathCut> order;  // every path once
  // Pen-up travel in units from `from` through the paths to `to`.
  double drawnTravel = 0;    // the paths as drawn, in their order
  double nearestTravel = 0;  // nearest-neighbour alone
  double orderedTravel = 0;  // the result
};

OrderResult OrderPaths(const SectionPaths& paths, const OrderOptions& options);

// The pen-up travel of cutting the paths as `order` says.
double OrderTravel(const SectionPaths& paths, std::span<const PathCut> order, OrderPoint from, OrderPoint to);

// The points of one path in the order they are cut, the first one the
// pen-up start.
template <typename Fn>
void ForEachCutPoint(const SectionPaths& paths, const PathCut& cut, Fn&& fn) {
  const std::span<const OrderPoint> p = paths.Path(cut.path);
  if (!paths.Closed(cut.path)) {
    if (cut.start == 0) {
      for (const OrderPoint& q : p) fn(q);
    } else {
      for (size_t i = p.size(); i-- > 0;) fn(p[i]);
    }
    return;
  }
  const size_t ring = p.size() - 1;  // the last point repeats the first
  for (size_t i = 0; i <= ring; ++i) fn(p[(cut.start + i) % ring]);
}

// The point a cut path ends at.
inline OrderPoint CutEnd(const SectionPaths& paths, const PathCut& cut) {
  const std::span<const OrderPoint> p = paths.Path(cut.path);
  if (paths.Closed(cut.path)) return p[cut.start];
  return cut.start == 0 ? p.back() : p.front();
}

}  // namespace plotsend
