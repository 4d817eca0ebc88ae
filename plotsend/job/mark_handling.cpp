#include "job/mark_handling.h"

#include "job/decimal.h"

namespace plotsend {
namespace {

int32_t SatAdd(int32_t a, int32_t b) { return SaturateInt32(int64_t{a} + b); }

}  // namespace

void ApplyMarkHandling(CPLTFile& job, const CutParams& params, int32_t dx, int32_t dy) {
  const MarkRef& ref = params.mark;
  if (ref.NeedsAlignment() && params.measuredMarks) {
    const MarkCorrection& marks = *params.measuredMarks;
    job.ApplyMarkCorrection(MeasuredMarks{marks, ref.SpanXWithMargins(), ref.SpanYWithMargins()}, SatAdd(marks[0], dx),
                            SatAdd(marks[1], dy), ref.MarkMargin, ref.MarkMargin);
  } else if (ref.IsSectioned()) {
    job.ApplyOriginOffset(SatAdd(dx, ref.MarkMargin), dy);
  } else {
    // Without measured marks (also MarkType 1 before any alignment) the job
    // only moves by the origin offset: four zero positions would collapse it.
    job.ApplyOriginOffset(dx, dy);
  }
}

}  // namespace plotsend
