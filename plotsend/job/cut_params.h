#pragma once
// How a job is to be cut, apart from its points: the mark description, the
// section window, the dashes, the blade compensation and the measured marks.
// The dialog gathers them into one value that the writers take, wherever
// the points come from.
#include <cstdint>
#include <functional>
#include <optional>

#include "job/mark_ref.h"

namespace plotsend {

// The sections that are written, 1-based and inclusive.
struct SectionWindow {
  uint8_t first = 1;
  uint8_t last = 255;
  bool Contains(int section) const { return section >= first && section <= last; }
};

struct DashPattern {
  int64_t line = 0;  // units
  int64_t gap = 0;   // units
  // A usable pattern has a positive period and no negative part (a negative
  // dash or gap would cut outside the segment).
  bool Valid() const { return line >= 0 && gap >= 0 && line + gap > 0; }
  int64_t Period() const { return line + gap; }
};

// Millimetres to units (x 40, truncated toward zero, saturating).
DashPattern MakeDashPattern(double lineMm, double gapMm);

// Blade-offset compensation of corners and the overcut of closed paths.
struct Compensation {
  uint32_t bladeOffset = 0;    // units
  uint32_t closureLength = 0;  // units, as it was asked for
  bool Any() const { return bladeOffset != 0 || closureLength != 0; }
  // How far a closed path is cut again past its start: 1 mm whenever there
  // is a blade offset, else the closure length.
  uint32_t OvercutLength() const;
};

struct CutParams {
  MarkRef mark;
  SectionWindow window;
  // The prepared job's maxY - minY: the closing move of an unsectioned job.
  int32_t jobLength = 0;
  std::optional<DashPattern> dashes;  // empty: cut solid
  Compensation compensation;
  // The four mark positions, once the alignment has measured them.
  std::optional<MarkCorrection> measuredMarks;
  // Asked once the file is complete, before it replaces the one at its
  // path; false leaves that one as it was. None: always put in place.
  std::function<bool()> beforeCommit;

  // Blade offset trunc(offsetMm x 40), closure trunc(closureMm x 40) but at
  // least 1 mm; negative lengths count as 0. Returns 1.
  int SetCompensation(double offsetMm, double closureMm);
  // Dashes of lineMm with gaps of gapMm when enabled.
  void SetDashedLine(bool enabled, double lineMm, double gapMm);
  int32_t ClosingMove() const { return mark.ClosingMove(jobLength); }
};

}  // namespace plotsend
