#include "bench/order_jobs.h"

#include <cmath>
#include <utility>
#include <vector>

#include "bench/bench_random.h"

namespace plotsend {
namespace {

using Ring = std::vector<OrderPoint>;

// A closed outline around (cx, cy): an ellipse of `n` vertices, or with
// `corner` > 0 a rectangle whose corners are quarter circles of that radius.
Ring RoundedBox(int32_t cx, int32_t cy, int32_t halfW, int32_t halfH, int32_t corner, int perCorner) {
  Ring ring;
  const double quarter = std::acos(-1.0) / 2;
  const int32_t sx[] = {1, -1, -1, 1}, sy[] = {1, 1, -1, -1};
  for (int c = 0; c < 4; ++c) {
    const double ccx = cx + sx[c] * (halfW - corner), ccy = cy + sy[c] * (halfH - corner);
    for (int k = 0; k <= perCorner; ++k) {
      const double a = quarter * c + quarter * k / perCorner;
      ring.push_back({static_cast<int32_t>(std::lround(ccx + corner * std::cos(a))),
                      static_cast<int32_t>(std::lround(ccy + corner * std::sin(a)))});
    }
  }
  return ring;
}

Ring Ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, int n) {
  Ring ring;
  const double step = 2 * std::acos(-1.0) / n;
  for (int k = 0; k < n; ++k) {
    ring.push_back({static_cast<int32_t>(std::lround(cx + rx * std::cos(step * k))),
                    static_cast<int32_t>(std::lround(cy + ry * std::sin(step * k)))});
  }
  return ring;
}

// Adds the ring as a closed path starting at vertex `first`.
void AddClosed(SectionPaths& out, const Ring& ring, size_t first) {
  out.StartPath(ring[first]);
  for (size_t k = 1; k <= ring.size(); ++k) out.AddPoint(ring[(first + k) % ring.size()]);
}

template <typename T>
void Shuffle(std::vector<T>& items, Rng& random) {
  for (size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[random.Next() % i]);
}

}  // namespace

SectionPaths StickerGrid(int columns, int rows, uint64_t seed) {
  Rng random(seed);
  constexpr int32_t kHalfW = 800, kHalfH = 600, kGap = 120;  // 40 x 30 mm, 3 mm apart
  std::vector<std::pair<int, int>> cells;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) cells.push_back({c, r});
  }
  Shuffle(cells, random);
  SectionPaths out;
  for (const auto& [c, r] : cells) {
    const int32_t cx = kGap + kHalfW + c * (2 * kHalfW + kGap), cy = kGap + kHalfH + r * (2 * kHalfH + kGap);
    const Ring ring = RoundedBox(cx, cy, kHalfW, kHalfH, 160, 4);
    AddClosed(out, ring, random.Next() % ring.size());
  }
  return out;
}

SectionPaths GlyphRows(int glyphs, uint64_t seed) {
  Rng random(seed);
  constexpr int kPerRow = 80;
  constexpr int32_t kHeight = 320, kLine = 480;  // 8 mm letters, 12 mm lines
  SectionPaths out;
  int32_t x = 200;
  for (int g = 0; g < glyphs; ++g) {
    if (g % kPerRow == 0) x = 200;
    const int32_t width = random.Range(180, 280), y = 300 + (g / kPerRow) * kLine;
    const int32_t cx = x + width / 2, cy = y + kHeight / 2;
    const int counters = static_cast<int>(random.Next() % 3);
    if (counters == 0) {
      // An L-like stroke outline without counters.
      const Ring ring{{x, y},           {x + width, y},        {x + width, y + 60},
                      {x + 60, y + 60}, {x + 60, y + kHeight}, {x, y + kHeight}};
      AddClosed(out, ring, 0);
    } else {
      AddClosed(out, Ellipse(cx, cy, width / 2, kHeight / 2, 32), 0);
      if (counters == 1) {
        AddClosed(out, Ellipse(cx, cy, width / 4, kHeight / 4, 20), 0);
      } else {
        AddClosed(out, Ellipse(cx, cy - kHeight / 5, width / 4, kHeight / 8, 16), 0);
        AddClosed(out, Ellipse(cx, cy + kHeight / 5, width / 4, kHeight / 8, 16), 0);
      }
    }
    x += width + 40;
  }
  return out;
}

SectionPaths ShortPaths(int count, uint64_t seed) {
  Rng random(seed);
  constexpr int32_t kSheet = 40000, kStep = 200;  // 1 m square, 5 mm steps
  SectionPaths out;
  out.Reserve(static_cast<size_t>(count) * 3);
  for (int i = 0; i < count; ++i) {
    OrderPoint p{random.Range(0, kSheet), random.Range(0, kSheet)};
    out.StartPath(p);
    const int more = random.Range(1, 3);
    for (int k = 0; k < more; ++k) {
      p = {p.x + random.Range(-kStep, kStep), p.y + random.Range(-kStep, kStep)};
      out.AddPoint(p);
    }
  }
  return out;
}

}  // namespace plotsend
