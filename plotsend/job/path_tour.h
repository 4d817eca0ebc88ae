#pragma once
// The cut-order stage's working state: the paths in cutting order, each
// with the point it is entered at and the point it is left at, between the
// fixed start and end of the head's travel. Positions run 0..n-1; position
// -1 stands for the start and n for the end.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "job/path_order.h"
#include "job/point_index.h"
#include "job/section_paths.h"

namespace plotsend {

inline double Distance(OrderPoint a, OrderPoint b) { return std::sqrt(SquaredDistance(a.x, a.y, b.x, b.y)); }

class PathTour {
 public:
  PathTour(const SectionPaths& paths, OrderPoint from, OrderPoint to) : paths_(paths), from_(from), to_(to) {
    const size_t n = paths.Count();
    pos_.resize(n);
    start_.resize(n);
    in_.resize(n);
    out_.resize(n);
    closed_.resize(n);
    last_.resize(n);
    for (size_t p = 0; p < n; ++p) {
      closed_[p] = paths.Closed(p) ? 1 : 0;
      last_[p] = static_cast<uint32_t>(paths.Path(p).size() - 1);
    }
  }

  // Takes `order` (every path once) as the tour.
  void Assign(std::span<const PathCut> order) {
    seq_.clear();
    for (const PathCut& c : order) {
      pos_[c.path] = static_cast<uint32_t>(seq_.size());
      seq_.push_back(c.path);
      SetStart(c.path, c.start);
    }
  }
  std::vector<PathCut> Order() const {
    std::vector<PathCut> order;
    order.reserve(seq_.size());
    for (const uint32_t p : seq_) order.push_back({p, start_[p]});
    return order;
  }

  ptrdiff_t Size() const { return static_cast<ptrdiff_t>(seq_.size()); }
  uint32_t PathAt(ptrdiff_t i) const { return seq_[static_cast<size_t>(i)]; }
  ptrdiff_t PositionOf(uint32_t path) const { return pos_[path]; }
  bool IsClosed(uint32_t path) const { return closed_[path] != 0; }
  // Where the head enters and leaves the path at position i (the start for
  // i = -1, the end for i = n).
  OrderPoint Out(ptrdiff_t i) const { return i < 0 ? from_ : out_[seq_[static_cast<size_t>(i)]]; }
  OrderPoint In(ptrdiff_t i) const { return i >= Size() ? to_ : in_[seq_[static_cast<size_t>(i)]]; }
  // The travel from position i to position i + 1.
  double Edge(ptrdiff_t i) const { return Distance(Out(i), In(i + 1)); }
  double Travel() const {
    double sum = 0;
    for (ptrdiff_t i = -1; i < Size(); ++i) sum += Edge(i);
    return sum;
  }

  uint32_t Start(uint32_t path) const { return start_[path]; }
  void SetStart(uint32_t path, uint32_t vertex) {
    const std::span<const OrderPoint> p = paths_.Path(path);
    start_[path] = vertex;
    in_[path] = p[vertex];
    out_[path] = closed_[path] != 0 ? p[vertex] : (vertex == 0 ? p.back() : p.front());
  }
  // An open path is then cut the other way; a closed one stays as it is.
  void Turn(uint32_t path) {
    if (closed_[path] != 0) return;
    std::swap(in_[path], out_[path]);
    start_[path] = start_[path] == 0 ? last_[path] : 0;
  }

  // Reverses positions [a, b]: the paths come in the opposite order and
  // each open path among them is cut the other way.
  void Reverse(ptrdiff_t a, ptrdiff_t b) {
    for (ptrdiff_t i = a, j = b; i < j; ++i, --j) std::swap(seq_[static_cast<size_t>(i)], seq_[static_cast<size_t>(j)]);
    for (ptrdiff_t i = a; i <= b; ++i) {
      Turn(seq_[static_cast<size_t>(i)]);
      pos_[seq_[static_cast<size_t>(i)]] = static_cast<uint32_t>(i);
    }
  }
  // Moves positions [s, e] to follow position j (j < s - 1 or j > e), turned
  // round when `turned`.
  void Move(ptrdiff_t s, ptrdiff_t e, ptrdiff_t j, bool turned) {
    const auto at = [this](ptrdiff_t i) { return seq_.begin() + i; };
    ptrdiff_t lo = 0, hi = 0, first = 0;  // the range that changed, where the chunk lands
    if (j < s) {
      std::rotate(at(j + 1), at(s), at(e + 1));
      lo = j + 1, hi = e, first = j + 1;
    } else {
      std::rotate(at(s), at(e + 1), at(j + 1));
      lo = s, hi = j, first = j - (e - s);
    }
    if (turned) Reverse(first, first + (e - s));
    for (ptrdiff_t i = lo; i <= hi; ++i) pos_[seq_[static_cast<size_t>(i)]] = static_cast<uint32_t>(i);
  }

 private:
  const SectionPaths& paths_;
  const OrderPoint from_, to_;
  std::vector<uint32_t> seq_;    // path at each position
  std::vector<uint32_t> pos_;    // position of each path
  std::vector<uint32_t> start_;  // per path
  std::vector<OrderPoint> in_, out_;
  std::vector<uint32_t> last_;  // index of each path's last point
  std::vector<uint8_t> closed_;
};

}  // namespace plotsend
