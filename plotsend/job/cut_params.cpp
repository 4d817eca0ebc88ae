#include "job/cut_params.h"

#include <algorithm>

#include "job/decimal.h"

namespace plotsend {
namespace {

constexpr uint32_t kMinClosureLength = 40;  // 1 mm

// Millimetres to units, negative lengths counting as 0.
uint32_t LengthUnits(double mm) { return static_cast<uint32_t>(std::max(0, MmToUnits(mm))); }

}  // namespace

DashPattern MakeDashPattern(double lineMm, double gapMm) { return DashPattern{MmToUnits(lineMm), MmToUnits(gapMm)}; }

uint32_t Compensation::OvercutLength() const { return bladeOffset != 0 ? kMinClosureLength : closureLength; }

int CutParams::SetCompensation(double offsetMm, double closureMm) {
  compensation.bladeOffset = LengthUnits(offsetMm);
  compensation.closureLength = std::max(LengthUnits(closureMm), kMinClosureLength);
  return 1;
}

void CutParams::SetDashedLine(bool enabled, double lineMm, double gapMm) {
  dashes.reset();
  if (enabled) dashes = MakeDashPattern(lineMm, gapMm);
}

}  // namespace plotsend
