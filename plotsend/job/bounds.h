#pragma once
// The bounds of a job's moves, as the reader computes them.
#include <cstdint>
#include <span>

#include "job/point_source.h"

namespace plotsend {

struct Bounds {
  int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool operator==(const Bounds&) const = default;
};

// Bounds over the moves of a list, the first point seeding them when it is
// a move (a list that starts with a marker keeps the origin in them).
class BoundsAccumulator {
 public:
  void Add(const JobPoint& p) {
    if (first_) {
      if (p.kind < 3) b_ = Bounds{p.x, p.y, p.x, p.y};
      first_ = false;
    }
    if (p.kind >= 3) return;
    if (p.x < b_.minX) b_.minX = p.x;
    if (p.x > b_.maxX) b_.maxX = p.x;
    if (p.y < b_.minY) b_.minY = p.y;
    if (p.y > b_.maxY) b_.maxY = p.y;
  }
  void Add(std::span<const JobPoint> points) {
    for (const JobPoint& p : points) Add(p);
  }
  const Bounds& Result() const { return b_; }

 private:
  Bounds b_;
  bool first_ = true;
};

}  // namespace plotsend
