#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "job/decimal.h"

namespace plotsend {

// The job description read from markref.kv. Zero values with one section
// when the file cannot be read.
struct MarkRef {
  int32_t MarkSpanX = 0;
  int32_t MarkSpanY = 0;
  int32_t MarkMargin = 0;
  uint8_t MarkType = 0;
  uint8_t SectionCount = 1;

  // Types 8 and 9 run the job in sections, each with marks of its own.
  bool IsSectioned() const { return MarkType == 8 || MarkType == 9; }
  // Type 1: four marks, measured by the alignment before the job is cut.
  bool NeedsAlignment() const { return MarkType == 1; }
  // The section count, 0 counting as 1.
  int32_t Sections() const { return SectionCount == 0 ? 1 : SectionCount; }
  // How far along y one section reaches: MarkSpanY / SectionCount.
  int32_t SectionWidth() const { return MarkSpanY / Sections(); }
  // The spans from the outer edges of the marks: each plus both margins.
  int32_t SpanXWithMargins() const { return WithMargins(MarkSpanX); }
  int32_t SpanYWithMargins() const { return WithMargins(MarkSpanY); }
  // Where the job's closing move goes along y: one section width for the
  // sectioned types, the job length for every other.
  int32_t ClosingMove(int32_t jobLength) const { return IsSectioned() ? SectionWidth() : jobLength; }

 private:
  int32_t WithMargins(int32_t span) const { return SaturateInt32(int64_t{span} + 2 * int64_t{MarkMargin}); }
};

// The four measured mark positions x1, y1, x2, y2, x3, y3, x4, y4; all 0
// until an alignment has run.
using MarkCorrection = std::array<int32_t, 8>;

// The message boxes the job and its description raise; the front end shows
// them from its text table.
enum class JobMessage {
  OpenFileFailed,     // "Open File Failed"
  MaxSectionNumbers,  // "Max Section Mumbers : 50 !"
  OpenMarkRefFailed,  // "open markref file fail!"
  MarkRefTooLong,     // "buffer not  enough !"
  JobChanged,         // the job file changed during the run
};
using Notify = std::function<void(JobMessage message)>;

}  // namespace plotsend
