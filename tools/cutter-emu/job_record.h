#pragma once
// What the cutter did with one job: the head's path as segments in job
// coordinates, the commands it received and how the job ended.
#include <cstdint>
#include <vector>

#include "cutter-emu/stream_decoder.h"

namespace cutter_emu {

enum class SegmentKind : uint8_t { Cut, Travel, Jog };

struct Segment {
  int32_t x0, y0, x1, y1;
  SegmentKind kind;
};

// How receiving a job stopped.
enum class JobStatus : uint8_t {
  Receiving,    // still open
  Complete,     // '@' arrived
  Closed,       // the peer closed the link first
  Timeout,      // nothing arrived for the idle time
  Dropped,      // the emulator dropped the link after its byte limit
  Stalled,      // the emulator stopped reading and then gave up
  Interrupted,  // the emulator was told to stop (SIGINT, SIGTERM)
};

const char* StatusName(JobStatus status);

struct JobSummary {
  uint64_t bytes = 0;
  uint64_t penUps = 0;
  uint64_t cuts = 0;
  uint64_t jogs = 0;
  uint64_t unknown = 0;  // events not understood
  uint64_t unknownBytes = 0;
  uint64_t sections = 0;   // "TB27" commands
  double cutLength = 0.0;  // units
  bool origin = false;     // '<' arrived
};

struct JobRecord {
  std::vector<Segment> segments;
  JobSummary summary;
  JobStatus status = JobStatus::Receiving;
};

// Follows the head. Every section after the first starts one section width
// further along y: the sender writes each section's moves relative to its
// start, and the cutter feeds the media on.
class JobRecorder {
 public:
  // Records the event and turns its move coordinates into absolute ones.
  void OnEvent(StreamEvent& e);
  void SetBytes(uint64_t n) { record_.summary.bytes = n; }
  void SetStatus(JobStatus status) { record_.status = status; }
  const JobRecord& Record() const { return record_; }
  JobRecord Take();

 private:
  void MoveTo(StreamEvent& e, SegmentKind kind);

  JobRecord record_;
  int32_t headX_ = 0, headY_ = 0;
  int64_t sectionOffset_ = 0;
  bool movedInSection_ = false;  // a move since the job or the last '<' began
};

}  // namespace cutter_emu
