#include "cut/outline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <numbers>
#include <utility>
#include <vector>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/linestring.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/geometry/index/rtree.hpp>

#include "import/flatten.h"

namespace plotmark {
namespace {

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;
using BMultiPolygon = bg::model::multi_polygon<BPolygon>;
using BLine = bg::model::linestring<BPoint>;

template <class Geometry>
BMultiPolygon Buffer(const Geometry& g, double distance, int circlePoints) {
  BMultiPolygon out;
  bg::buffer(g, out, bg::strategy::buffer::distance_symmetric<double>(distance), bg::strategy::buffer::side_straight(),
             bg::strategy::buffer::join_round(circlePoints), bg::strategy::buffer::end_round(circlePoints),
             bg::strategy::buffer::point_circle(circlePoints));
  return out;
}

// The union of grown shapes merged pairwise in a balanced tree.
BMultiPolygon TreeUnion(std::vector<BMultiPolygon> parts) {
  while (parts.size() > 1) {
    std::vector<BMultiPolygon> merged;
    merged.reserve((parts.size() + 1) / 2);
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
      BMultiPolygon joined;
      bg::union_(parts[i], parts[i + 1], joined);
      merged.push_back(std::move(joined));
    }
    if (parts.size() % 2 == 1) merged.push_back(std::move(parts.back()));
    parts = std::move(merged);
  }
  return parts.empty() ? BMultiPolygon{} : std::move(parts.front());
}

using BBox = bg::model::box<BPoint>;

size_t Root(std::vector<size_t>& parent, size_t i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

// For each box, a representative of the boxes it touches directly or
// through others.
std::vector<size_t> TouchingGroups(const std::vector<BBox>& boxes) {
  std::vector<std::pair<BBox, size_t>> indexed;
  for (size_t i = 0; i < boxes.size(); ++i) indexed.push_back({boxes[i], i});
  const bg::index::rtree<std::pair<BBox, size_t>, bg::index::rstar<16>> tree(indexed);
  std::vector<size_t> parent(boxes.size());
  for (size_t i = 0; i < parent.size(); ++i) parent[i] = i;
  std::vector<std::pair<BBox, size_t>> touching;
  for (size_t i = 0; i < boxes.size(); ++i) {
    touching.clear();
    tree.query(bg::index::intersects(boxes[i]), std::back_inserter(touching));
    for (const auto& other : touching) parent[Root(parent, other.second)] = Root(parent, i);
  }
  for (size_t i = 0; i < parent.size(); ++i) parent[i] = Root(parent, i);
  return parent;
}

// The boxes' indices in Morton order of their lower corners, so that
// neighbours on the page come next to each other.
std::vector<size_t> PageOrder(const std::vector<BBox>& boxes) {
  if (boxes.empty()) return {};
  BBox page = boxes.front();
  for (const BBox& b : boxes) bg::expand(page, b);
  const double w = std::max(page.max_corner().x() - page.min_corner().x(), 1e-9);
  const double h = std::max(page.max_corner().y() - page.min_corner().y(), 1e-9);
  std::vector<std::pair<uint64_t, size_t>> codes;
  for (size_t i = 0; i < boxes.size(); ++i) {
    const auto x = static_cast<uint32_t>((boxes[i].min_corner().x() - page.min_corner().x()) / w * 65535);
    const auto y = static_cast<uint32_t>((boxes[i].min_corner().y() - page.min_corner().y()) / h * 65535);
    uint64_t code = 0;
    for (int bit = 0; bit < 16; ++bit)
      code |= uint64_t((x >> bit) & 1) << (2 * bit) | uint64_t((y >> bit) & 1) << (2 * bit + 1);
    codes.push_back({code, i});
  }
  std::sort(codes.begin(), codes.end());
  std::vector<size_t> order;
  order.reserve(codes.size());
  for (const auto& c : codes) order.push_back(c.second);
  return order;
}

// The union of the grown shapes. Growing them all in one buffer call, or
// uniting them in any order, takes time and memory far beyond linear once
// there are thousands: only shapes whose boxes touch are united, in page
// order, and the groups are then simply put together.
BMultiPolygon UnionOf(std::vector<BMultiPolygon> parts) {
  std::vector<BBox> boxes;
  boxes.reserve(parts.size());
  for (const BMultiPolygon& part : parts) boxes.push_back(bg::return_envelope<BBox>(part));
  const std::vector<size_t> group = TouchingGroups(boxes);
  std::vector<std::vector<BMultiPolygon>> groups(parts.size());
  for (const size_t i : PageOrder(boxes)) groups[group[i]].push_back(std::move(parts[i]));
  BMultiPolygon all;
  for (std::vector<BMultiPolygon>& members : groups) {
    if (members.empty()) continue;
    BMultiPolygon united = TreeUnion(std::move(members));
    all.insert(all.end(), std::make_move_iterator(united.begin()), std::make_move_iterator(united.end()));
  }
  return all;
}

}  // namespace

int PointsPerCircle(double radiusMm) {
  if (!(radiusMm > kFlatnessMm)) return 8;
  const double step = 2 * std::acos(1 - kFlatnessMm / radiusMm);
  return std::clamp(static_cast<int>(std::ceil(2 * std::numbers::pi / step)), 8, 4096);
}

// Growing distributes over the union, so every printed shape is grown on
// its own and the results are joined.
Polylines GrownOutline(const Design& design, double distanceMm) {
  const int circle = PointsPerCircle(distanceMm);
  std::vector<BMultiPolygon> parts;
  for (const DesignPath& p : design.paths) {
    if (!p.filled && !p.stroke) continue;
    const Point* first = design.points.data() + p.begin;
    const Point* last = design.points.data() + p.end;
    if ((p.closed || p.filled) && last - first >= 3) {
      BPolygon poly;
      for (const Point* q = first; q != last; ++q) poly.outer().push_back({q->x, q->y});
      bg::correct(poly);
      parts.push_back(Buffer(poly, distanceMm, circle));
    } else if (last - first >= 2) {
      BLine line;
      for (const Point* q = first; q != last; ++q) line.push_back({q->x, q->y});
      parts.push_back(Buffer(line, distanceMm, circle));
    }
  }
  const BMultiPolygon grown = UnionOf(std::move(parts));
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
