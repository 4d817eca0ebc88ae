#pragma once
// The job description the macros leave beside the drawing: mark references
// (markref.kv) and, for coded jobs, the code mode and number (codeinfo.kv,
// codenumble.kv).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/work_dir.h"
#include "job/mark_ref.h"

namespace plotsend {

// markref.kv must be shorter than this.
inline constexpr size_t kMarkRefLimit = 96;

struct JobInfo {
  MarkRef markRef;
  uint8_t CodeMode = 0;
  int32_t CodeNumber = 0;
  // codeinfo.kv holds a flag that ConsumeCodeFlag still has to reset.
  bool codeFlagPending = false;
};

// Values of a markref.kv text: up to 11 comma-separated decimal integers, each
// preceded by whatever is not a digit or '-'; the first five are kept, the
// 8-bit ones modulo 256, and a SectionCount of 0 reads as 1.
MarkRef ParseMarkRef(std::string_view text);

// Reads the three job files of `dir`; nothing is written. Returns true when
// markref.kv was read and held text; otherwise info.markRef keeps the values
// it had and `notify` shows why (a directory or an empty file in its place
// has no message of its own).
bool ReadJobInfo(const WorkDir& dir, JobInfo& info, const Notify& notify);

// Resets the pending flag of codeinfo.kv (its first byte becomes '0' in
// place), so the code mode is seen by one job only. A file whose flag is
// already '0', or that is missing or empty, is left untouched.
void ConsumeCodeFlag(const WorkDir& dir);

}  // namespace plotsend
