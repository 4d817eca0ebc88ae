#pragma once
// Dashed cutting: axis-parallel cuts between two cutting points are broken
// into dashes of `line` units with gaps of `gap` units; the remainder after
// the last whole period is cut solid. The dashed list is streamed to a sink
// point by point instead of being held in memory.
#include <cstdint>

#include "job/cut_params.h"
#include "job/decimal.h"
#include "job/point_source.h"

namespace plotsend {
namespace dashes_detail {

// The dash triples between a and b: D at the dash start, D at its end,
// U at the next dash start, for every whole period that fits.
template <typename Sink>
void EmitDashes(const JobPoint& a, const JobPoint& b, const DashPattern& pattern, Sink& sink) {
  const bool alongX = a.y == b.y;
  const bool alongY = a.x == b.x;
  if (alongX == alongY) return;  // diagonal (or zero length): solid
  const int64_t from = alongX ? a.x : a.y;
  const int64_t to = alongX ? b.x : b.y;
  const int64_t length = to > from ? to - from : from - to;
  const int64_t period = pattern.Period();
  const int64_t count = length / period;
  const int64_t dir = to > from ? 1 : -1;
  auto at = [&](int64_t along, uint8_t kind) {
    const int32_t v = SaturateInt32(along);
    return alongX ? JobPoint{v, a.y, kind} : JobPoint{a.x, v, kind};
  };
  for (int64_t i = 0; i < count; ++i) {
    const int64_t start = from + dir * i * period;
    sink(at(start, kCut));
    sink(at(start + dir * pattern.line, kCut));
    sink(at(start + dir * period, kPenUp));
  }
}

}  // namespace dashes_detail

// Streams a job through dashing: each point pushed in order reaches the
// sink, preceded by the dashes of the cut that runs to it from a cutting
// point (the first cut of a path, from its pen-up point, stays solid). An
// invalid pattern passes the points unchanged.
template <typename Sink>
class DashedPoints {
 public:
  DashedPoints(const DashPattern& pattern, Sink& sink) : pattern_(pattern), sink_(sink) {}

  void Push(const JobPoint& p) {
    if (dashing_ && previous_.kind == kCut && p.kind == kCut) {
      dashes_detail::EmitDashes(previous_, p, pattern_, sink_);
    }
    sink_(p);
    previous_ = p;
  }

 private:
  const DashPattern pattern_;
  Sink& sink_;
  const bool dashing_ = pattern_.Valid();
  JobPoint previous_{};  // kind 0 before the first point: no dashes
};

}  // namespace plotsend
