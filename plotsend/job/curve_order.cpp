#include "job/curve_order.h"

#include <algorithm>
#include <utility>

namespace plotsend {
namespace {

constexpr int kCurveBits = 16;

// Position along the Hilbert curve of order kCurveBits through (x, y).
uint64_t HilbertIndex(uint32_t x, uint32_t y) {
  constexpr uint32_t kSide = 1u << kCurveBits;
  uint64_t d = 0;
  for (uint32_t s = kSide / 2; s > 0; s /= 2) {
    const uint32_t rx = (x & s) != 0 ? 1 : 0;
    const uint32_t ry = (y & s) != 0 ? 1 : 0;
    d += uint64_t{s} * s * ((3 * rx) ^ ry);
    if (ry == 0) {
      if (rx == 1) {
        x = kSide - 1 - x;
        y = kSide - 1 - y;
      }
      std::swap(x, y);
    }
  }
  return d;
}

struct Middle {
  int64_t x, y;
};

Middle MiddleOf(std::span<const OrderPoint> pts) {
  int64_t x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
  for (const OrderPoint& q : pts) {
    x0 = std::min<int64_t>(x0, q.x), x1 = std::max<int64_t>(x1, q.x);
    y0 = std::min<int64_t>(y0, q.y), y1 = std::max<int64_t>(y1, q.y);
  }
  return {(x0 + x1) / 2, (y0 + y1) / 2};
}

// Maps [lo, hi] onto the curve's grid.
uint32_t Cell(int64_t v, int64_t lo, int64_t hi) {
  if (hi <= lo) return 0;
  return static_cast<uint32_t>((v - lo) * ((int64_t{1} << kCurveBits) - 1) / (hi - lo));
}

}  // namespace

std::vector<PathCut> CurveOrder(const SectionPaths& paths, const Nesting& nesting) {
  const size_t n = paths.Count();
  std::vector<Middle> middle(n);
  Middle lo{INT64_MAX, INT64_MAX}, hi{INT64_MIN, INT64_MIN};
  for (size_t p = 0; p < n; ++p) {
    middle[p] = MiddleOf(paths.Path(p));
    lo = {std::min(lo.x, middle[p].x), std::min(lo.y, middle[p].y)};
    hi = {std::max(hi.x, middle[p].x), std::max(hi.y, middle[p].y)};
  }
  std::vector<uint64_t> key(n);
  std::vector<uint32_t> curve(n);
  for (size_t p = 0; p < n; ++p) {
    key[p] = HilbertIndex(Cell(middle[p].x, lo.x, hi.x), Cell(middle[p].y, lo.y, hi.y));
    curve[p] = static_cast<uint32_t>(p);
  }
  std::stable_sort(curve.begin(), curve.end(), [&key](uint32_t a, uint32_t b) { return key[a] < key[b]; });

  // Contours inside each path, so that they can go before it.
  std::vector<size_t> first(n + 1, 0);
  for (size_t p = 0; p < n; ++p) {
    for (const uint32_t o : nesting.Enclosers(p)) ++first[o + 1];
  }
  for (size_t p = 0; p < n; ++p) first[p + 1] += first[p];
  std::vector<uint32_t> inner(first[n]);
  std::vector<size_t> fill(first.begin(), first.end() - 1);
  for (size_t p = 0; p < n; ++p) {
    for (const uint32_t o : nesting.Enclosers(p)) inner[fill[o]++] = static_cast<uint32_t>(p);
  }

  std::vector<PathCut> order;
  order.reserve(n);
  std::vector<uint8_t> placed(n, 0);
  std::vector<std::pair<uint32_t, size_t>> stack;  // path, next inner contour to place
  for (const uint32_t p : curve) {
    if (placed[p] != 0) continue;
    stack.push_back({p, first[p]});
    placed[p] = 1;
    while (!stack.empty()) {
      auto& [top, next] = stack.back();
      if (next < first[top + 1]) {
        const uint32_t c = inner[next++];
        if (placed[c] == 0) {
          placed[c] = 1;
          stack.push_back({c, first[c]});
        }
        continue;
      }
      order.push_back({top, 0});
      stack.pop_back();
    }
  }
  return order;
}

}  // namespace plotsend
