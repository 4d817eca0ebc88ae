#pragma once
// The cut in plotter units as kavren.plt carries it, and where it lands
// once Plotsend has turned it a quarter turn and moved it to the origin.
#include <cstdint>
#include <optional>
#include <vector>

#include "cut/polylines.h"

namespace plotmark {

// The largest design side accepted: 50 m.
inline constexpr double kMaxSideMm = 50000.0;

// The two numbers of a PU/PD pair: a runs to the right on the page, b up.
struct UnitPoint {
  int32_t a = 0;
  int32_t b = 0;
  bool operator==(const UnitPoint&) const = default;
};

struct UnitPath {
  size_t begin = 0;
  size_t end = 0;
};

struct Box {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  double Width() const { return maxX - minX; }
  double Height() const { return maxY - minY; }
};

// The bounding box; nullopt when there is no point or one is not finite.
std::optional<Box> BoundsOf(const std::vector<Point>& points);

struct CutJob {
  std::vector<UnitPoint> points;
  std::vector<UnitPath> paths;
  int32_t spanX = 0;  // MarkSpanX: the extent of a, the job's x after the turn
  int32_t spanY = 0;  // MarkSpanY: the extent of b, the job's y (the feed)
  Box box;            // the cut's bounding box on the page, mm
  double cutLengthMm = 0.0;
  double travelMm = 0.0;  // pen-up moves, from the job's origin on
};

// `box` is BoundsOf(cut.points), each side at most kMaxSideMm.
CutJob MakeCutJob(const Polylines& cut, const Box& box);

// The page point (mm) of a point in the job's coordinates after the turn
// and the move to the origin (x = the second number of a U command, y the
// first, in plotter units): job x runs leftward from the cut's right edge,
// job y upward from its bottom edge.
Point JobToPage(const CutJob& job, double x, double y);

}  // namespace plotmark
