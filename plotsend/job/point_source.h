#pragma once
// The points of a cut job and where a pass over them comes from.
#include <cstdint>
#include <functional>
#include <span>

namespace plotsend {

// Point kinds: 1 pen-up move (U), 2 cutting move (D), 4..12 section marker
// read from TM1..TM9 (kind = n + 3). Kinds below 4 are moves.
inline constexpr uint8_t kPenUp = 1;
inline constexpr uint8_t kCut = 2;
inline constexpr uint8_t kFirstMarker = 4;

// Kinds below the first marker kind are moves; every move but a pen-up cuts.
inline bool IsMarkerKind(uint8_t kind) { return kind >= kFirstMarker; }
inline bool IsCutKind(uint8_t kind) { return kind != kPenUp && kind < kFirstMarker; }

struct JobPoint {
  int32_t x = 0;  // second number of the command
  int32_t y = 0;  // first number of the command
  uint8_t kind = 0;
  bool operator==(const JobPoint&) const = default;
};

using PointBatchFn = std::function<void(std::span<const JobPoint>)>;

// A job's points in order, handed over a batch at a time, as often as a
// writer asks for them.
class PointSource {
 public:
  virtual ~PointSource() = default;
  // False when the points can no longer be read as they were: what fn
  // received is then not the whole job.
  virtual bool ForEachBatch(const PointBatchFn& fn) const = 0;
};

}  // namespace plotsend
