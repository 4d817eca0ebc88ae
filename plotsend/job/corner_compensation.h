#pragma once
// Blade-offset (sharp-corner) compensation: the drag knife trails the head
// by the blade offset, so at a sharp corner the head overshoots the corner
// by the offset and swings round it on an arc before it cuts the next side.
// Closed paths are then re-cut for a short closure length from their start.
#include <array>
#include <cstddef>
#include <cstdint>

namespace plotsend {

struct CutPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const CutPoint&) const = default;
};

// Segments at or below this length (units) switch a corner's compensation off.
inline constexpr double kMinSegmentLength = 20.0;
// Degrees between the arc points.
inline constexpr int kArcStep = 10;
// Corners flatter than this many degrees are cut as they are.
inline constexpr int kCornerThreshold = 150;

// Whether the start of a closed path may be moved forward by the blade
// offset: no coincident points, both sides longer than the minimum segment,
// and the corner at P sharper than 150 degrees.
bool StartTest(CutPoint a, CutPoint p, CutPoint b);

// The point at `distance` from `from` toward `to` (each coordinate truncated
// toward zero); `to` itself when the segment is not longer than that.
CutPoint PointToward(CutPoint from, CutPoint to, double distance);

// The cuts the corner routine makes at P between A and B with blade offset
// `offset`: P; then, when the corner is compensated, the overshoot point,
// the arc points, the point at the offset along PB and, unless `closing`, B.
// At most 1 + 1 + 18 + 1 + 1 points: the arc has (180 - i0) / 10 points.
struct CornerCuts {
  std::array<CutPoint, 24> points{};
  int count = 0;
  bool compensated = false;  // the routine ran to its end (and ended at B unless closing)
};
CornerCuts CornerRoutine(CutPoint a, CutPoint p, CutPoint b, uint32_t offset, bool closing);
// The same into `cuts`, whose count and flag are set anew: a caller that
// reuses one does not clear its points at every corner.
void CornerRoutine(CutPoint a, CutPoint p, CutPoint b, uint32_t offset, bool closing, CornerCuts& cuts);

// Records the first `closure length` units cut along a closed path (at most
// 50 points) so that they can be cut again at its end.
class ClosureRecorder {
 public:
  static constexpr int kCapacity = 50;

  void Reset(uint32_t closureLength) {
    closureLength_ = closureLength;
    count_ = 0;
    recorded_ = 0;
    full_ = false;
  }
  void Record(CutPoint p);

  int Count() const { return count_; }
  const CutPoint& At(int i) const { return points_[static_cast<size_t>(i)]; }
  bool Full() const { return full_; }
  uint32_t RecordedLength() const { return recorded_; }

 private:
  void Store(CutPoint p);

  std::array<CutPoint, kCapacity> points_{};
  int count_ = 0;
  uint32_t closureLength_ = 0;
  uint32_t recorded_ = 0;
  bool full_ = false;
};

}  // namespace plotsend
