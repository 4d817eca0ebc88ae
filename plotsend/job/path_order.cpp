#include "job/path_order.h"

#include <algorithm>

#include "job/curve_order.h"
#include "job/path_nesting.h"
#include "job/path_tour.h"
#include "job/point_index.h"
#include "job/start_choice.h"
#include "job/tour_improvement.h"

namespace plotsend {
namespace {

// Nearest-neighbour: from where the head stands, the nearest point at which
// a path can be entered (either end of an open path, any vertex of a closed
// one) among the paths whose enclosed contours are all cut.
class NearestNeighbour {
  // A closed path of more points offers this many, spread along it.
  static constexpr size_t kMostEntries = 32;

 public:
  NearestNeighbour(const SectionPaths& paths, const Nesting& nesting, bool turnPaths)
      : paths_(paths), nesting_(nesting), first_(paths.Count() + 1), index_(EntryPoints(turnPaths)) {}

  std::vector<PathCut> Run(OrderPoint from) {
    const size_t n = paths_.Count();
    std::vector<uint32_t> inside(n, 0);  // enclosed contours not yet cut
    for (size_t p = 0; p < n; ++p) {
      for (const uint32_t o : nesting_.Enclosers(p)) ++inside[o];
    }
    for (size_t p = 0; p < n; ++p) {
      if (inside[p] == 0) Offer(p, true);
    }
    std::vector<PathCut> order;
    order.reserve(n);
    OrderPoint at = from;
    while (order.size() < n) {
      const size_t slot = index_.Nearest(at.x, at.y);
      if (slot == PointIndex::kNone) break;  // cannot happen: nesting has no cycles
      const size_t entry = index_.At(slot).id;
      const uint32_t p = PathOfEntry(entry);
      const PathCut cut{p, VertexOfEntry(p, entry)};
      order.push_back(cut);
      at = CutEnd(paths_, cut);
      Offer(p, false);
      for (const uint32_t o : nesting_.Enclosers(p)) {
        if (--inside[o] == 0) Offer(o, true);
      }
    }
    return order;
  }

 private:
  std::vector<PointIndex::Entry> EntryPoints(bool turnPaths) {
    std::vector<PointIndex::Entry> entries;
    entries.reserve(paths_.PointCount());
    for (size_t p = 0; p < paths_.Count(); ++p) {
      first_[p] = entries.size();
      const std::span<const OrderPoint> pts = paths_.Path(p);
      if (!turnPaths) {
        entries.push_back({pts[0].x, pts[0].y, static_cast<uint32_t>(entries.size())});
      } else if (!paths_.Closed(p)) {
        entries.push_back({pts[0].x, pts[0].y, static_cast<uint32_t>(entries.size())});
        if (pts.size() > 1) entries.push_back({pts.back().x, pts.back().y, static_cast<uint32_t>(entries.size())});
      } else {
        const size_t ring = pts.size() - 1;
        const size_t count = std::min(ring, kMostEntries);
        for (size_t k = 0; k < count; ++k) {
          const OrderPoint q = pts[k * ring / count];
          entries.push_back({q.x, q.y, static_cast<uint32_t>(entries.size())});
        }
      }
    }
    first_[paths_.Count()] = entries.size();
    return entries;
  }

  uint32_t PathOfEntry(size_t entry) const {
    return static_cast<uint32_t>(std::upper_bound(first_.begin(), first_.end(), entry) - first_.begin() - 1);
  }
  uint32_t VertexOfEntry(uint32_t p, size_t entry) const {
    const size_t k = entry - first_[p];
    if (k == 0) return 0;
    const size_t size = paths_.Path(p).size();
    if (!paths_.Closed(p)) return static_cast<uint32_t>(size - 1);
    return static_cast<uint32_t>(k * (size - 1) / (first_[p + 1] - first_[p]));
  }
  void Offer(size_t p, bool on) {
    for (size_t e = first_[p]; e < first_[p + 1]; ++e) index_.SetActive(index_.SlotOf(e), on);
  }

  const SectionPaths& paths_;
  const Nesting& nesting_;
  std::vector<size_t> first_;  // each path's first entry point, plus the end
  PointIndex index_;
};

bool CutsEnclosedFirst(const Nesting& nesting, std::span<const PathCut> order) {
  if (nesting.Empty()) return true;
  std::vector<uint32_t> position(order.size());
  for (size_t i = 0; i < order.size(); ++i) position[order[i].path] = static_cast<uint32_t>(i);
  for (size_t p = 0; p < order.size(); ++p) {
    for (const uint32_t o : nesting.Enclosers(p)) {
      if (position[o] < position[p]) return false;
    }
  }
  return true;
}

// Rounds of the best starts for the order, then local moves, while a round
// still gains and time is left.
void Improve(PathTour& tour, const SectionPaths& paths, const Nesting& nesting, bool turnPaths,
             OrderClock::time_point deadline) {
  NearPaths near(paths);
  constexpr double kLeastRoundGain = 1e-3;  // of the travel
  double travel = tour.Travel();
  while (true) {
    if (turnPaths && !ChooseStarts(tour, paths, deadline)) return;
    if (!ImproveTour(tour, paths, nesting, near, turnPaths, deadline) || !turnPaths) return;
    const double now = tour.Travel();
    if (now >= travel - travel * kLeastRoundGain) return;
    travel = now;
  }
}

}  // namespace

double OrderTravel(const SectionPaths& paths, std::span<const PathCut> order, OrderPoint from, OrderPoint to) {
  double sum = 0;
  OrderPoint at = from;
  for (const PathCut& cut : order) {
    sum += Distance(at, paths.Path(cut.path)[cut.start]);
    at = CutEnd(paths, cut);
  }
  return sum + Distance(at, to);
}

OrderResult OrderPaths(const SectionPaths& paths, const OrderOptions& options) {
  // The last twentieth of the budget is left for handing the order back.
  const double seconds = std::max(0.0, options.budgetSeconds) * 0.95;
  const auto deadline =
      OrderClock::now() + std::chrono::duration_cast<OrderClock::duration>(std::chrono::duration<double>(seconds));
  const size_t n = paths.Count();
  OrderResult result;
  std::vector<PathCut> drawn(n);
  for (size_t p = 0; p < n; ++p) drawn[p].path = static_cast<uint32_t>(p);
  result.drawnTravel = OrderTravel(paths, drawn, options.from, options.to);

  const Nesting nesting = FindNesting(paths);
  std::vector<PathCut> nearest = NearestNeighbour(paths, nesting, options.turnPaths).Run(options.from);
  result.nearestTravel = OrderTravel(paths, nearest, options.from, options.to);

  // The shortest of nearest-neighbour, the drawn order (when it cuts
  // enclosed contours first) and the curve order, each with its best
  // starts, is improved.
  const bool drawnFirst = result.drawnTravel < result.nearestTravel && CutsEnclosedFirst(nesting, drawn);
  std::vector<PathCut> seed = drawnFirst ? drawn : nearest;
  double seedTravel = drawnFirst ? result.drawnTravel : result.nearestTravel;
  PathTour tour(paths, options.from, options.to);
  for (const bool curve : {false, true}) {
    tour.Assign(curve ? CurveOrder(paths, nesting) : seed);
    if (options.turnPaths) ChooseStarts(tour, paths, deadline);
    const double travel = tour.Travel();
    if (travel < seedTravel) {
      seed = tour.Order();
      seedTravel = travel;
    }
  }
  tour.Assign(seed);
  Improve(tour, paths, nesting, options.turnPaths, deadline);
  std::vector<PathCut> improved = tour.Order();
  const double travel = OrderTravel(paths, improved, options.from, options.to);
  // Rounding in the move gains must not make the result longer.
  if (travel <= seedTravel) {
    result.order = std::move(improved);
    result.orderedTravel = travel;
  } else {
    result.order = std::move(seed);
    result.orderedTravel = seedTravel;
  }
  return result;
}

}  // namespace plotsend
