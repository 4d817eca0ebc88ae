#include "cut/outline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/linestring.hpp>
#include <boost/geometry/geometries/multi_linestring.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include "import/flatten.h"

namespace plotmark {
namespace {

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;
using BMultiPolygon = bg::model::multi_polygon<BPolygon>;
using BLine = bg::model::linestring<BPoint>;
using BMultiLine = bg::model::multi_linestring<BLine>;

template <class Geometry>
BMultiPolygon Buffer(const Geometry& g, double distance, int circlePoints) {
  BMultiPolygon out;
  bg::buffer(g, out, bg::strategy::buffer::distance_symmetric<double>(distance),
             bg::strategy::buffer::side_straight(), bg::strategy::buffer::join_round(circlePoints),
             bg::strategy::buffer::end_round(circlePoints), bg::strategy::buffer::point_circle(circlePoints));
  return out;
}

}  // namespace

int PointsPerCircle(double radiusMm) {
  if (!(radiusMm > kFlatnessMm)) return 8;
  const double step = 2 * std::acos(1 - kFlatnessMm / radiusMm);
  return std::clamp(static_cast<int>(std::ceil(2 * std::numbers::pi / step)), 8, 4096);
}

Polylines GrownOutline(const Design& design, double distanceMm) {
  BMultiPolygon areas;
  BMultiLine lines;
  for (const DesignPath& p : design.paths) {
    if (!p.filled && !p.stroke) continue;
    const Point* first = design.points.data() + p.begin;
    const Point* last = design.points.data() + p.end;
    if ((p.closed || p.filled) && last - first >= 3) {
      BPolygon poly;
      for (const Point* q = first; q != last; ++q) poly.outer().push_back({q->x, q->y});
      bg::correct(poly);
      areas.push_back(std::move(poly));
    } else if (last - first >= 2) {
      BLine line;
      for (const Point* q = first; q != last; ++q) line.push_back({q->x, q->y});
      lines.push_back(std::move(line));
    }
  }
  const int circle = PointsPerCircle(distanceMm);
  BMultiPolygon grown;
  if (!areas.empty()) grown = Buffer(areas, distanceMm, circle);
  if (!lines.empty()) {
    BMultiPolygon fromLines = Buffer(lines, distanceMm, circle);
    if (grown.empty()) {
      grown = std::move(fromLines);
    } else {
      BMultiPolygon joined;
      bg::union_(grown, fromLines, joined);
      grown = std::move(joined);
    }
  }
  Polylines out;
  std::vector<Point> ring;
  for (const BPolygon& poly : grown) {
    ring.clear();
    for (const BPoint& q : poly.outer()) ring.push_back({q.x(), q.y()});
    if (ring.size() >= 3) out.Add(ring.data(), ring.data() + ring.size(), true);
  }
  return out;
}

}  // namespace plotmark
