#include "dashed_lines.h"

#include <cmath>

namespace plotsend {
namespace {

int64_t MmToUnits(double mm) {
  const double units = std::trunc(mm * 40.0);
  if (!(units == units)) return 0;  // NaN
  if (units > INT32_MAX) return INT32_MAX;
  if (units < INT32_MIN) return INT32_MIN;
  return static_cast<int64_t>(units);
}

}  // namespace

DashPattern MakeDashPattern(double lineMm, double gapMm) {
  return DashPattern{MmToUnits(lineMm), MmToUnits(gapMm)};
}

}  // namespace plotsend
