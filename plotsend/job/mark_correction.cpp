// Four-mark correction: the job is mapped bilinearly onto the quadrilateral
// of the four measured registration marks.
#include <cmath>

#include "decimal.h"
#include "plt_file.h"

namespace plotsend {
namespace {

int64_t TruncToInt64(double v) {
  if (!(v == v)) return 0;
  if (v >= 9.0e18) return INT64_C(9000000000000000000);
  if (v <= -9.0e18) return -INT64_C(9000000000000000000);
  return static_cast<int64_t>(v);
}

struct Vec {
  double x = 0.0;
  double y = 0.0;
};

}  // namespace

bool CPLTFile::ApplyMarkCorrection(int32_t x0, int32_t y0, int32_t cx, int32_t cy) {
  // Marks relative to the first: V2 = P2 - P1, V3 = P3 - P1, V4 = P4 - P1.
  const MarkCorrection& m = markPositions_;
  auto rel = [&m](int k) {
    return Vec{static_cast<double>(int64_t{m[2 * k]} - m[0]),
               static_cast<double>(int64_t{m[2 * k + 1]} - m[1])};
  };
  const Vec v2 = rel(1);
  const Vec v3 = rel(2);
  const Vec v4 = rel(3);
  // A zero span leaves that factor at 0 instead of dividing by it.
  const double spanX = spanX_;
  const double spanY = spanY_;
  for (JobPoint& p : points_) {
    const double e = spanX_ == 0 ? 0.0 : (static_cast<double>(p.x) + cx) / spanX;
    const double d = spanY_ == 0 ? 0.0 : (static_cast<double>(p.y) + cy) / spanY;
    const double f = 1.0 - e;
    // V1 is 0, so the (1 - d) term keeps only the P4 side.
    const int64_t dx = TruncToInt64(d * (f * v2.x + e * v3.x) + (1.0 - d) * (e * v4.x) + 0.5);
    const int64_t dy = TruncToInt64(d * (f * v2.y + e * v3.y) + (1.0 - d) * (e * v4.y) + 0.5);
    p.x = SaturateInt32(x0 + dx);
    p.y = SaturateInt32(y0 + dy);
  }
  return true;
}

}  // namespace plotsend
