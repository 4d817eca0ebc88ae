// Four-mark correction: the job is mapped bilinearly onto the quadrilateral
// of the four measured registration marks.
#include <cmath>

#include "job/decimal.h"
#include "job/plt_file.h"

namespace plotsend {
namespace {

int64_t TruncToInt64(double v) {
  if (!(v == v)) return 0;
  if (v >= 9.0e18) return INT64_C(9000000000000000000);
  if (v <= -9.0e18) return -INT64_C(9000000000000000000);
  return static_cast<int64_t>(v);
}

}  // namespace

bool CPLTFile::ApplyMarkCorrection(const MeasuredMarks& marks, int32_t x0, int32_t y0, int32_t cx, int32_t cy) {
  // Marks relative to the first: V2 = P2 - P1, V3 = P3 - P1, V4 = P4 - P1.
  const MarkCorrection& m = marks.positions;
  PointTransform step{PointTransform::Kind::Bilinear, x0, y0};
  for (size_t k = 1; k < 4; ++k) {
    step.v[2 * k - 2] = static_cast<double>(int64_t{m[2 * k]} - m[0]);
    step.v[2 * k - 1] = static_cast<double>(int64_t{m[2 * k + 1]} - m[1]);
  }
  step.spanX = marks.spanX;
  step.spanY = marks.spanY;
  step.cx = cx;
  step.cy = cy;
  Transform(step);
  return true;
}

void PointTransform::ApplyBilinear(JobPoint& p) const {
  const double v2x = v[0], v2y = v[1], v3x = v[2], v3y = v[3], v4x = v[4], v4y = v[5];
  // A zero span leaves that factor at 0 instead of dividing by it.
  const double e = spanX == 0 ? 0.0 : (static_cast<double>(p.x) + cx) / spanX;
  const double d = spanY == 0 ? 0.0 : (static_cast<double>(p.y) + cy) / spanY;
  const double f = 1.0 - e;
  // V1 is 0, so the (1 - d) term keeps only the P4 side.
  const int64_t mx = TruncToInt64(d * (f * v2x + e * v3x) + (1.0 - d) * (e * v4x) + 0.5);
  const int64_t my = TruncToInt64(d * (f * v2y + e * v3y) + (1.0 - d) * (e * v4y) + 0.5);
  p.x = SaturateInt32(dx + mx);
  p.y = SaturateInt32(dy + my);
}

}  // namespace plotsend
