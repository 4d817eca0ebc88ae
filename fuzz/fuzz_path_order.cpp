// libFuzzer target for the cut-order stage: arbitrary point lists as one
// section's paths, ordered with and without turning, and checked against
// every promise of the stage (each path once, the same segments, enclosed
// contours first, the travel reported, never longer than nearest-neighbour
// nor than the drawn order when that already cuts enclosed contours first).
//
// Bytes: a head byte (bit 0: paths may be turned; bits 1..4: how far the
// coordinates are shifted up, so large ones are reached too), then records
// of five bytes: a flag (bit 0 starts a new path) and x, y as int16.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/fuzz_check.h"
#include "job/path_order.h"
#include "job/path_order_check.h"

namespace {

constexpr size_t kRecord = 5;
constexpr size_t kMostPoints = 2000;  // the checks compare every pair of contours

int32_t Coordinate(const uint8_t* p, int shift) {
  int16_t v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<int32_t>(v) * (int32_t{1} << shift);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool turn = (data[0] & 1) != 0;
  const int shift = (data[0] >> 1) & 15;
  plotsend::SectionPaths paths;
  plotsend::OrderOptions options;
  options.turnPaths = turn;
  options.budgetSeconds = 0.002;
  size_t points = 0;
  for (size_t at = 1; at + kRecord <= size && points < kMostPoints; at += kRecord, ++points) {
    const plotsend::OrderPoint q{Coordinate(data + at + 1, shift), Coordinate(data + at + 3, shift)};
    if (points == 0) {
      options.from = q;  // the head's start, then the first path's
      options.to = {q.y, q.x};
    }
    if ((data[at] & 1) != 0 || paths.Count() == 0) {
      paths.StartPath(q);
    } else {
      paths.AddPoint(q);
    }
  }
  const plotsend::OrderResult result = plotsend::OrderPaths(paths, options);
  const std::string broken = plotsend::order_check::Violation(paths, options, result);
  if (!broken.empty()) std::fprintf(stderr, "%s\n", broken.c_str());
  Check(broken.empty());
  return 0;
}
