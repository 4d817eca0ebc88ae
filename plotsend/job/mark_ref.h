#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace plotsend {

// The job description read from markref.kv. Zero values with one section
// when the file cannot be read.
struct MarkRef {
  int32_t MarkSpanX = 0;
  int32_t MarkSpanY = 0;
  int32_t MarkMargin = 0;
  uint8_t MarkType = 0;
  uint8_t SectionCount = 1;
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
