#include "job/start_choice.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace plotsend {
namespace {

// The work of one pass grows with the square of the choices per path;
// it is kept to about this many distance evaluations.
constexpr double kWork = 2e7;
constexpr size_t kMostChoices = 33;

// The vertices a path may start at in this pass.
void ChoicesOf(const PathTour& tour, const SectionPaths& paths, uint32_t p, size_t most, std::vector<uint32_t>& out) {
  const size_t size = paths.Path(p).size();
  if (!tour.IsClosed(p)) {
    out.push_back(0);
    if (size > 1) out.push_back(static_cast<uint32_t>(size - 1));
    return;
  }
  const size_t ring = size - 1;
  if (ring <= most) {
    for (size_t v = 0; v < ring; ++v) out.push_back(static_cast<uint32_t>(v));
    return;
  }
  const uint32_t current = tour.Start(p);
  out.push_back(current);
  for (size_t k = 1; k < most; ++k) out.push_back(static_cast<uint32_t>((current + k * ring / most) % ring));
}

OrderPoint Exit(const SectionPaths& paths, uint32_t p, uint32_t start) { return CutEnd(paths, PathCut{p, start}); }

}  // namespace

bool ChooseStarts(PathTour& tour, const SectionPaths& paths, OrderClock::time_point deadline) {
  const ptrdiff_t n = tour.Size();
  if (n == 0) return true;
  const size_t most =
      std::clamp<size_t>(static_cast<size_t>(std::sqrt(kWork / static_cast<double>(n))), 2, kMostChoices);
  std::vector<size_t> first(static_cast<size_t>(n) + 1);   // each position's first choice
  std::vector<uint32_t> choice;                            // the start vertex of every choice
  std::vector<uint16_t> from;                              // the best choice of the previous position
  std::vector<double> cost, next;                          // shortest travel to each choice of the position, leaving it
  std::vector<OrderPoint> exits{tour.Out(-1)}, nextExits;  // where each choice of the position is left
  cost.assign(1, 0.0);
  for (ptrdiff_t i = 0; i < n; ++i) {
    if ((i & 1023) == 1023 && OrderClock::now() >= deadline) return false;
    const uint32_t p = tour.PathAt(i);
    const size_t begin = choice.size();
    first[static_cast<size_t>(i)] = begin;
    ChoicesOf(tour, paths, p, most, choice);
    const size_t end = choice.size();
    next.assign(end - begin, std::numeric_limits<double>::infinity());
    nextExits.clear();
    from.resize(end);
    for (size_t c = begin; c < end; ++c) {
      const OrderPoint in = paths.Path(p)[choice[c]];
      nextExits.push_back(Exit(paths, p, choice[c]));
      for (size_t q = 0; q < cost.size(); ++q) {
        const double d = cost[q] + Distance(exits[q], in);
        if (d < next[c - begin]) {
          next[c - begin] = d;
          from[c] = static_cast<uint16_t>(q);
        }
      }
    }
    cost.swap(next);
    exits.swap(nextExits);
  }
  first[static_cast<size_t>(n)] = choice.size();
  // The last path's best choice with the way to the end, then back along the choices.
  size_t best = 0;
  double bestCost = std::numeric_limits<double>::infinity();
  for (size_t q = 0; q < cost.size(); ++q) {
    const double d = cost[q] + Distance(exits[q], tour.In(n));
    if (d < bestCost) bestCost = d, best = q;
  }
  for (ptrdiff_t i = n - 1; i >= 0; --i) {
    const size_t c = first[static_cast<size_t>(i)] + best;
    tour.SetStart(tour.PathAt(i), choice[c]);
    best = from[c];
  }
  return true;
}

}  // namespace plotsend
