#pragma once
// The paths of one section of a job, as the cut-order stage takes them:
// every path is its pen-up start followed by its cutting points, all held in
// one array (no allocation per path).
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plotsend {

struct OrderPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const OrderPoint&) const = default;
};

class SectionPaths {
 public:
  void Clear() {
    points_.clear();
    begin_.clear();
  }
  void Reserve(size_t points) { points_.reserve(points); }
  // Starts a path at its pen-up point.
  void StartPath(OrderPoint start) {
    begin_.push_back(points_.size());
    points_.push_back(start);
  }
  // Adds a cutting point to the last path.
  void AddPoint(OrderPoint p) { points_.push_back(p); }

  size_t Count() const { return begin_.size(); }
  size_t PointCount() const { return points_.size(); }
  std::span<const OrderPoint> Path(size_t i) const {
    const size_t end = i + 1 < begin_.size() ? begin_[i + 1] : points_.size();
    return {points_.data() + begin_[i], end - begin_[i]};
  }
  // A closed path ends where it starts after at least two cuts; it can be
  // cut from any of its vertices.
  bool Closed(size_t i) const {
    const std::span<const OrderPoint> p = Path(i);
    return p.size() >= 3 && p.back() == p.front();
  }

 private:
  std::vector<OrderPoint> points_;
  std::vector<size_t> begin_;
};

}  // namespace plotsend
