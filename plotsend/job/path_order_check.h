#pragma once
// The promises of the cut-order stage, checked the slow and obvious way:
// for the unit tests, the fuzz target and the benchmark. Returns an empty
// text when every promise holds, else what broke.
#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "job/path_nesting.h"
#include "job/path_order.h"

namespace plotsend::order_check {

// An undirected segment, its ends in a fixed order.
using Segment = std::tuple<int32_t, int32_t, int32_t, int32_t>;

inline Segment Undirected(OrderPoint a, OrderPoint b) {
  if (std::tie(b.x, b.y) < std::tie(a.x, a.y)) std::swap(a, b);
  return {a.x, a.y, b.x, b.y};
}

inline std::vector<Segment> DrawnSegments(const SectionPaths& paths) {
  std::vector<Segment> out;
  for (size_t p = 0; p < paths.Count(); ++p) {
    const auto pts = paths.Path(p);
    for (size_t i = 1; i < pts.size(); ++i) out.push_back(Undirected(pts[i - 1], pts[i]));
  }
  std::sort(out.begin(), out.end());
  return out;
}

inline std::vector<Segment> CutSegments(const SectionPaths& paths, const std::vector<PathCut>& order) {
  std::vector<Segment> out;
  for (const PathCut& cut : order) {
    bool first = true;
    OrderPoint last{};
    ForEachCutPoint(paths, cut, [&](OrderPoint q) {
      if (!first) out.push_back(Undirected(last, q));
      first = false;
      last = q;
    });
  }
  std::sort(out.begin(), out.end());
  return out;
}

// Pairs (inner, outer) that must be cut in that order, by the definition in
// path_nesting.h, found by comparing every pair.
inline std::vector<std::pair<uint32_t, uint32_t>> EnclosedPairs(const SectionPaths& paths) {
  struct Box {
    int32_t x0, y0, x1, y1;
  };
  const auto boxOf = [&](size_t p) {
    Box b{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const OrderPoint& q : paths.Path(p)) {
      b.x0 = std::min(b.x0, q.x), b.y0 = std::min(b.y0, q.y), b.x1 = std::max(b.x1, q.x), b.y1 = std::max(b.y1, q.y);
    }
    return b;
  };
  const auto area = [](const Box& b) { return (double(b.x1) - b.x0) * (double(b.y1) - b.y0); };
  std::vector<std::pair<uint32_t, uint32_t>> pairs;
  for (size_t a = 0; a < paths.Count(); ++a) {
    if (!paths.Closed(a)) continue;
    const Box ba = boxOf(a);
    std::vector<std::pair<double, uint32_t>> outer;  // rank, path
    for (size_t b = 0; b < paths.Count(); ++b) {
      if (b == a || !paths.Closed(b)) continue;
      const Box bb = boxOf(b);
      const bool ranksAbove = area(bb) > area(ba) || (area(bb) == area(ba) && b > a);
      const bool holds = bb.x0 <= ba.x0 && bb.y0 <= ba.y0 && bb.x1 >= ba.x1 && bb.y1 >= ba.y1;
      if (!ranksAbove || !holds) continue;
      const auto ring = paths.Path(a);
      for (size_t v = 0; v + 1 < ring.size(); ++v) {
        const RingSide side = SideOfRing(paths.Path(b), ring[v]);
        if (side == RingSide::Boundary) continue;
        if (side == RingSide::Inside) outer.push_back({area(bb), static_cast<uint32_t>(b)});
        break;
      }
    }
    std::sort(outer.begin(), outer.end());
    if (outer.size() > kMaxEnclosers) outer.resize(kMaxEnclosers);
    for (const auto& o : outer) pairs.push_back({static_cast<uint32_t>(a), o.second});
  }
  return pairs;
}

inline std::string Violation(const SectionPaths& paths, const OrderOptions& options, const OrderResult& result,
                             bool checkNesting = true) {
  const size_t n = paths.Count();
  if (result.order.size() != n) return "not every path is in the order";
  std::vector<int64_t> position(n, -1);
  for (size_t i = 0; i < n; ++i) {
    const PathCut& cut = result.order[i];
    if (cut.path >= n || position[cut.path] >= 0) return "a path is missing or twice in the order";
    position[cut.path] = static_cast<int64_t>(i);
    const size_t size = paths.Path(cut.path).size();
    const bool closed = paths.Closed(cut.path);
    const bool startOk = closed ? cut.start < size - 1 : (cut.start == 0 || cut.start == size - 1);
    if (!startOk) return "a path starts at a point it cannot start at";
    if (!options.turnPaths && cut.start != 0) return "a path was turned although turning was off";
  }
  if (CutSegments(paths, result.order) != DrawnSegments(paths)) return "the cut segments changed";
  bool drawnNested = true;  // the drawn order already cuts enclosed contours first
  if (checkNesting) {
    for (const auto& [inner, outer] : EnclosedPairs(paths)) {
      if (position[inner] > position[outer]) return "an enclosing contour is cut before the one inside it";
      drawnNested = drawnNested && inner < outer;
    }
  }
  const auto differs = [](double a, double b) { return std::abs(a - b) > 1e-6 * (1 + std::abs(b)); };
  const double travel = OrderTravel(paths, result.order, options.from, options.to);
  if (differs(travel, result.orderedTravel)) return "the travel reported is not the order's";
  std::vector<PathCut> drawn(n);
  for (size_t p = 0; p < n; ++p) drawn[p].path = static_cast<uint32_t>(p);
  if (differs(OrderTravel(paths, drawn, options.from, options.to), result.drawnTravel)) {
    return "the drawn travel reported is not the drawn order's";
  }
  if (result.orderedTravel > result.nearestTravel) return "longer than nearest-neighbour";
  if (checkNesting && drawnNested && result.orderedTravel > result.drawnTravel) return "longer than the drawn order";
  return {};
}

}  // namespace plotsend::order_check
