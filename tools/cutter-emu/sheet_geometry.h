#pragma once
// The geometry of a printed sheet on the cutter's bed: where a careless load
// (and an imprecise printer) puts it, and how far a cut lies from the
// printed contour. Lengths are plotter units (40 a millimetre) as doubles,
// in the cutter's axes: x the second number of a move, y the first (the
// feed).
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace cutter_emu {

inline constexpr double kUnitsPerMm = 40.0;

struct Vec {
  double x = 0, y = 0;
};

// --place ROT_DEG,DX_MM,DY_MM,SX_PCT,SY_PCT[,KEYSTONE_PCT]: the sheet turned
// by ROT degrees (from +x toward +y), shifted by DX, DY millimetres, printed
// SX and SY per cent larger across and along the feed; KEYSTONE makes it a
// trapezoid, as a printer that feeds unevenly prints: the scale across the
// feed grows by that many per cent for every 100 mm along it.
struct Placement {
  double rotationDeg = 0;
  double shiftXMm = 0, shiftYMm = 0;
  double scaleXPct = 0, scaleYPct = 0;
  double keystonePct = 0;
};

// nullopt for anything but five or six finite numbers with scales above
// -100 % and a keystone between -50 and 50 % per 100 mm.
std::optional<Placement> ParsePlacement(std::string_view text);

// A sheet point (its job coordinates) to the bed and back. The sheet's
// origin lies at `origin` on the bed when the sheet lies straight; the
// sheet turns and scales about it.
class SheetPlacement {
 public:
  SheetPlacement(const Placement& placement, Vec origin);
  Vec ToBed(Vec sheet) const;
  Vec ToSheet(Vec bed) const;

 private:
  Vec origin_;
  double cos_, sin_, sx_, sy_, keystone_;  // keystone: per unit along y
};

// The distance from a point to the nearest of a set of segments, through a
// grid of cells over the segments.
class SegmentIndex {
 public:
  struct Segment {
    Vec a, b;
  };
  explicit SegmentIndex(std::vector<Segment> segments);
  bool Empty() const { return segments_.empty(); }
  // The distance, and in `nearest` the nearest point; infinity when empty.
  double Distance(Vec q, Vec* nearest = nullptr) const;

 private:
  size_t CellOf(long cx, long cy) const {
    return static_cast<size_t>(cy) * static_cast<size_t>(nx_) + static_cast<size_t>(cx);
  }

  std::vector<Segment> segments_;
  Vec min_;
  double cell_ = 1;
  long nx_ = 0, ny_ = 0;
  std::vector<std::vector<size_t>> cells_;
};

// The distance from q to the segment a..b, and the nearest point.
double SegmentDistance(Vec q, Vec a, Vec b, Vec* nearest = nullptr);

}  // namespace cutter_emu
