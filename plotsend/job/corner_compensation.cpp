#include "job/corner_compensation.h"

#include <algorithm>
#include <cmath>

#include "job/decimal.h"
#include "job/trig_tables.h"

namespace plotsend {
namespace {

// Squared distance, exact in a double for any coordinates a job holds in
// practice (differences below 2^26).
double SquaredDistance(CutPoint a, CutPoint b) {
  const double dx = static_cast<double>(int64_t{b.x} - a.x);
  const double dy = static_cast<double>(int64_t{b.y} - a.y);
  return dx * dx + dy * dy;
}

bool AnyCoincide(CutPoint a, CutPoint p, CutPoint b) { return a == p || p == b || a == b; }

// Law of cosines on the squared sides (and the two sides at P); clamped so
// that rounding cannot leave the table's range.
int32_t CornerCos1000(double pa2, double pb2, double ab2, double pa, double pb) {
  const double cosine = (pa2 + pb2 - ab2) / (2.0 * pa * pb);
  const double scaled = std::trunc(1000.0 * cosine);
  if (!(scaled == scaled)) return -1000;
  return scaled > 1000.0 ? 1000 : (scaled < -1000.0 ? -1000 : static_cast<int32_t>(scaled));
}

}  // namespace

bool StartTest(CutPoint a, CutPoint p, CutPoint b) {
  if (AnyCoincide(a, p, b)) return false;
  const double pa2 = SquaredDistance(p, a);
  const double pb2 = SquaredDistance(p, b);
  const double pa = std::sqrt(pa2);
  const double pb = std::sqrt(pb2);
  if (pa <= kMinSegmentLength || pb <= kMinSegmentLength) return false;
  return CornerCos1000(pa2, pb2, SquaredDistance(a, b), pa, pb) > Cos1000(kCornerThreshold);
}

CutPoint PointToward(CutPoint from, CutPoint to, double distance) {
  const double length = std::sqrt(SquaredDistance(from, to));
  if (length <= distance) return to;
  const double f = distance / length;
  return CutPoint{TruncToInt32(from.x + f * static_cast<double>(int64_t{to.x} - from.x)),
                  TruncToInt32(from.y + f * static_cast<double>(int64_t{to.y} - from.y))};
}

CornerCuts CornerRoutine(CutPoint a, CutPoint p, CutPoint b, uint32_t offset, bool closing) {
  CornerCuts cuts;
  CornerRoutine(a, p, b, offset, closing, cuts);
  return cuts;
}

void CornerRoutine(CutPoint a, CutPoint p, CutPoint b, uint32_t offset, bool closing, CornerCuts& cuts) {
  cuts.count = 0;
  cuts.compensated = false;
  auto add = [&cuts](CutPoint q) { cuts.points[static_cast<size_t>(cuts.count++)] = q; };
  add(p);
  if (offset == 0 || AnyCoincide(a, p, b)) return;

  const double pa2 = SquaredDistance(p, a);
  const double pb2 = SquaredDistance(p, b);
  const double dA = std::sqrt(pa2);
  const double dB = std::sqrt(pb2);
  if ((dA <= kMinSegmentLength || dB <= kMinSegmentLength) && !closing) return;

  const TrigTables& trig = GetTrigTables();
  const int32_t f = CornerCos1000(pa2, pb2, SquaredDistance(a, b), dA, dB);
  if (f < trig.cos[kCornerThreshold]) return;

  const double off = static_cast<double>(offset);
  const double ux = static_cast<double>(int64_t{p.x} - a.x) / dA;
  const double uy = static_cast<double>(int64_t{p.y} - a.y) / dA;
  // Overshoot: the offset beyond P along the incoming side.
  add(CutPoint{TruncToInt32(p.x + off * ux), TruncToInt32(p.y + off * uy)});

  const double wx = static_cast<double>(int64_t{b.x} - p.x) / dB;
  const double wy = static_cast<double>(int64_t{b.y} - p.y) / dB;
  const double gx = p.x + off * wx;
  const double gy = p.y + off * wy;

  // First table angle whose cosine lies below the corner's: the arc swings
  // through the turning angle 180 - i0 in steps of kArcStep degrees.
  // The table does not increase, so a binary search finds the same entry
  // as a walk from 0.
  const auto tableEnd = trig.cos.begin() + 180;
  const auto below = std::partition_point(trig.cos.begin(), tableEnd, [f](int32_t c) { return c >= f; });
  const int i0 = below == tableEnd ? 0 : static_cast<int>(below - trig.cos.begin());
  const int arcPoints = (180 - i0) / kArcStep;

  // Which way to swing: compare the chord from u turned 5 degrees toward +y
  // with the chord the turning angle needs.
  const double hx = p.x + off * (0.996 * ux - 0.087 * uy);
  const double hy = p.y + off * (0.996 * uy + 0.087 * ux);
  const uint64_t a64 = offset;
  const double twoA2 = 2.0 * static_cast<double>(a64 * a64);
  const double hg2 = (hx - gx) * (hx - gx) + (hy - gy) * (hy - gy);
  const double r = (twoA2 - hg2) / twoA2;
  const double cr = trig.cos[static_cast<size_t>(180 - i0)] / 1000.0;
  const bool positive = cr <= r;

  for (int j = 1; j <= arcPoints; ++j) {
    const double c = trig.cos[static_cast<size_t>(kArcStep * j)] / 1000.0;
    const double s = trig.sin[static_cast<size_t>(kArcStep * j)] / 1000.0;
    const double qx = positive ? c * ux - s * uy : c * ux + s * uy;
    const double qy = positive ? c * uy + s * ux : c * uy - s * ux;
    add(CutPoint{TruncToInt32(p.x + off * qx), TruncToInt32(p.y + off * qy)});
  }
  add(CutPoint{TruncToInt32(gx), TruncToInt32(gy)});
  if (!closing) add(b);
  cuts.compensated = true;
}

void ClosureRecorder::Store(CutPoint p) {
  points_[static_cast<size_t>(count_++)] = p;
  if (count_ == kCapacity) full_ = true;
}

void ClosureRecorder::Record(CutPoint p) {
  if (full_ || count_ >= kCapacity) return;
  if (count_ == 0) {
    Store(p);
    return;
  }
  const CutPoint last = points_[static_cast<size_t>(count_ - 1)];
  const double d = std::trunc(std::sqrt(SquaredDistance(last, p)));
  const uint32_t rest = closureLength_ - recorded_;  // recorded_ never passes closureLength_
  if (d > static_cast<double>(rest)) {
    Store(rest == 0 ? last : PointToward(last, p, rest));
    full_ = true;
  } else {
    Store(p);
    recorded_ += static_cast<uint32_t>(d);
  }
}

}  // namespace plotsend
