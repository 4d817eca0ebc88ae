#include "dashed_lines.h"

#include "decimal.h"

namespace plotsend {
DashPattern MakeDashPattern(double lineMm, double gapMm) {
  return DashPattern{MmToUnits(lineMm), MmToUnits(gapMm)};
}

}  // namespace plotsend
