#include "cutter-emu/job_record.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace cutter_emu {
namespace {

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

const char* StatusName(JobStatus status) {
  switch (status) {
    case JobStatus::Receiving: return "receiving";
    case JobStatus::Complete: return "complete";
    case JobStatus::Closed: return "closed";
    case JobStatus::Timeout: return "timeout";
    case JobStatus::Dropped: return "dropped";
    case JobStatus::Stalled: return "stalled";
    case JobStatus::Interrupted: return "interrupted";
  }
  return "?";
}

void JobRecorder::MoveTo(StreamEvent& e, SegmentKind kind) {
  e.y = Saturate(e.y + sectionOffset_);
  record_.segments.push_back({headX_, headY_, e.x, e.y, kind});
  if (kind == SegmentKind::Cut) {
    record_.summary.cutLength += std::hypot(static_cast<double>(e.x) - headX_, static_cast<double>(e.y) - headY_);
  }
  headX_ = e.x;
  headY_ = e.y;
  movedInSection_ = true;
}

void JobRecorder::OnEvent(StreamEvent& e) {
  JobSummary& s = record_.summary;
  switch (e.kind) {
    case EventKind::Origin:
      // The job's coordinates are taken in the frame the head was jogged in.
      s.origin = true;
      movedInSection_ = false;
      break;
    case EventKind::Section:
      ++s.sections;
      if (movedInSection_) sectionOffset_ += e.args[1];
      movedInSection_ = false;
      break;
    case EventKind::PenUp:
      ++s.penUps;
      MoveTo(e, SegmentKind::Travel);
      break;
    case EventKind::Cut:
      ++s.cuts;
      MoveTo(e, SegmentKind::Cut);
      break;
    case EventKind::Jog:
      ++s.jogs;
      MoveTo(e, SegmentKind::Jog);
      break;
    case EventKind::Unknown:
      ++s.unknown;
      s.unknownBytes += e.length;
      break;
    case EventKind::End: record_.status = JobStatus::Complete; break;
    case EventKind::JogStart:
    case EventKind::Announce:
    case EventKind::Marks: break;
  }
}

JobRecord JobRecorder::Take() {
  JobRecord out = std::move(record_);
  *this = JobRecorder();
  return out;
}

}  // namespace cutter_emu
