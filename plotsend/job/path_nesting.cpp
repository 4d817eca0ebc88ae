#include "job/path_nesting.h"

#include <algorithm>
#include <tuple>

namespace plotsend {
namespace {

struct Box {
  int32_t minX, minY, maxX, maxY;
  bool Holds(const Box& o) const { return minX <= o.minX && minY <= o.minY && maxX >= o.maxX && maxY >= o.maxY; }
  double Area() const { return (static_cast<double>(maxX) - minX) * (static_cast<double>(maxY) - minY); }
  int64_t Size() const { return std::max(int64_t{maxX} - minX, int64_t{maxY} - minY); }
};

Box BoxOf(std::span<const OrderPoint> points) {
  Box b{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const OrderPoint& p : points) {
    b.minX = std::min(b.minX, p.x);
    b.minY = std::min(b.minY, p.y);
    b.maxX = std::max(b.maxX, p.x);
    b.maxY = std::max(b.maxY, p.y);
  }
  return b;
}

// The smallest level whose cells (2^level units wide) are at least `size`.
int LevelFor(int64_t size) {
  int level = 0;
  while ((int64_t{1} << level) < size) ++level;
  return level;
}
constexpr int kLevels = 34;  // cells of 1 unit up to 2^33, beyond any int32 extent

struct Cell {
  uint8_t level;
  uint32_t cx, cy;
  uint32_t closed;  // index into the closed paths
  auto Key() const { return std::tie(level, cx, cy); }
};

// A contour, where it lies and how it ranks.
struct Contour {
  uint32_t path;
  Box box;
  double area;
  bool RanksBelow(const Contour& o) const { return area < o.area || (area == o.area && path < o.path); }
};

bool Encloses(std::span<const OrderPoint> outer, std::span<const OrderPoint> inner) {
  for (size_t i = 0; i + 1 < inner.size(); ++i) {
    const RingSide side = SideOfRing(outer, inner[i]);
    if (side != RingSide::Boundary) return side == RingSide::Inside;
  }
  return false;  // the same outline
}

class NestingFinder {
 public:
  explicit NestingFinder(const SectionPaths& paths) : paths_(paths) {
    for (size_t i = 0; i < paths.Count(); ++i) {
      if (!paths.Closed(i)) continue;
      const Box box = BoxOf(paths.Path(i));
      contours_.push_back({static_cast<uint32_t>(i), box, box.Area()});
    }
    if (contours_.empty()) return;
    originX_ = contours_[0].box.minX;
    originY_ = contours_[0].box.minY;
    for (const Contour& c : contours_) {
      originX_ = std::min(originX_, c.box.minX);
      originY_ = std::min(originY_, c.box.minY);
    }
    Register();
  }

  // Appends the enclosers of contour `c`, lowest ranked first.
  void EnclosersOf(size_t c, std::vector<uint32_t>& out) {
    const Contour& inner = contours_[c];
    const OrderPoint q = paths_.Path(inner.path)[0];
    candidates_.clear();
    for (int level = LevelFor(inner.box.Size()); level < kLevels; ++level) {
      if ((occupied_ >> level & 1) == 0) continue;
      const Cell key{static_cast<uint8_t>(level), CellOf(q.x, originX_, level), CellOf(q.y, originY_, level), 0};
      const auto range = std::equal_range(cells_.begin(), cells_.end(), key,
                                          [](const Cell& a, const Cell& b) { return a.Key() < b.Key(); });
      for (auto it = range.first; it != range.second; ++it) {
        const Contour& outer = contours_[it->closed];
        if (inner.RanksBelow(outer) && outer.box.Holds(inner.box)) candidates_.push_back(it->closed);
      }
    }
    std::sort(candidates_.begin(), candidates_.end(),
              [this](uint32_t a, uint32_t b) { return contours_[a].RanksBelow(contours_[b]); });
    size_t found = 0;
    for (const uint32_t o : candidates_) {
      if (!Encloses(paths_.Path(contours_[o].path), paths_.Path(inner.path))) continue;
      out.push_back(contours_[o].path);
      if (++found == kMaxEnclosers) break;
    }
  }
  size_t Count() const { return contours_.size(); }
  uint32_t PathOf(size_t c) const { return contours_[c].path; }

 private:
  static uint32_t CellOf(int32_t v, int32_t origin, int level) {
    return static_cast<uint32_t>((int64_t{v} - origin) >> level);
  }

  // Each box goes into the cells of the level that fits it; at that level
  // it meets at most two cells along each axis.
  void Register() {
    cells_.reserve(contours_.size() * 2);
    for (size_t c = 0; c < contours_.size(); ++c) {
      const Box& b = contours_[c].box;
      const int level = LevelFor(b.Size());
      occupied_ |= uint64_t{1} << level;
      // 64-bit counters: a cell number may be the largest uint32.
      for (uint64_t cx = CellOf(b.minX, originX_, level); cx <= CellOf(b.maxX, originX_, level); ++cx) {
        for (uint64_t cy = CellOf(b.minY, originY_, level); cy <= CellOf(b.maxY, originY_, level); ++cy) {
          cells_.push_back({static_cast<uint8_t>(level), static_cast<uint32_t>(cx), static_cast<uint32_t>(cy),
                            static_cast<uint32_t>(c)});
        }
      }
    }
    std::sort(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) { return a.Key() < b.Key(); });
  }

  const SectionPaths& paths_;
  std::vector<Contour> contours_;
  std::vector<Cell> cells_;
  std::vector<uint32_t> candidates_;
  uint64_t occupied_ = 0;  // bit per level holding any box
  int32_t originX_ = 0, originY_ = 0;
};

}  // namespace

RingSide SideOfRing(std::span<const OrderPoint> closedPath, OrderPoint q) {
  bool inside = false;
  for (size_t i = 0; i + 1 < closedPath.size(); ++i) {
    const OrderPoint a = closedPath[i];
    const OrderPoint b = closedPath[i + 1];
    const double cross = (static_cast<double>(b.x) - a.x) * (static_cast<double>(q.y) - a.y) -
                         (static_cast<double>(q.x) - a.x) * (static_cast<double>(b.y) - a.y);
    if (cross == 0 && q.x >= std::min(a.x, b.x) && q.x <= std::max(a.x, b.x) && q.y >= std::min(a.y, b.y) &&
        q.y <= std::max(a.y, b.y)) {
      return RingSide::Boundary;
    }
    // The edge crosses the ray from q toward +x.
    if ((a.y > q.y) != (b.y > q.y) && (cross > 0) == (b.y > a.y)) inside = !inside;
  }
  return inside ? RingSide::Inside : RingSide::Outside;
}

Nesting FindNesting(const SectionPaths& paths) {
  Nesting nesting;
  nesting.begin_.assign(paths.Count() + 1, 0);
  NestingFinder finder(paths);
  if (finder.Count() < 2) return nesting;
  size_t c = 0;
  for (size_t path = 0; path < paths.Count(); ++path) {
    if (c < finder.Count() && finder.PathOf(c) == path) finder.EnclosersOf(c++, nesting.outer_);
    nesting.begin_[path + 1] = nesting.outer_.size();
  }
  return nesting;
}

}  // namespace plotsend
