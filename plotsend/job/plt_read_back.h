#pragma once
// The points the reader reads back from the commands a writer puts into a
// PLT work file, worked out from the commands themselves: a stage can hand
// the next one its points without the next one reading the text again.
#include <cstdint>

#include "job/point_source.h"

namespace plotsend {

// The coordinates the reader compares a file's first point against.
inline constexpr int32_t kStartCoordinate = -100;

// Sink: anything with Append(const JobPoint&), such as a PointRecord.
template <class Sink>
class PltReadBack {
 public:
  explicit PltReadBack(Sink& sink) : sink_(sink) {}

  // "U<y>,<x>;" (cut false) or "D<y>,<x>;": a point unless it repeats the
  // last one, whatever its kind.
  void Move(bool cut, int32_t y, int32_t x) {
    if (x == lastX_ && y == lastY_) return;
    sink_.Append(JobPoint{x, y, cut ? kCut : kPenUp});
    lastX_ = x;
    lastY_ = y;
  }

  // "TM<number>;": a marker at the last point whose kind comes from the
  // number's first character alone ("TM12;" reads as "TM1;"); a number
  // that starts with "0" or "-" is no marker.
  void Marker(int64_t number) {
    if (number <= 0) return;
    while (number >= 10) number /= 10;
    sink_.Append(JobPoint{lastX_, lastY_, static_cast<uint8_t>('0' + number - 45)});
  }

 private:
  Sink& sink_;
  int32_t lastX_ = kStartCoordinate;
  int32_t lastY_ = kStartCoordinate;
};

}  // namespace plotsend
