#pragma once
// The decoded listing: one line per event, in a fixed format that tests can
// compare with a job.
//   job <n>
//   origin | jog-start | announce | end
//   marks <a> <b> <c>            section <a> <b> <c>
//   up x=<x> y=<y>               cut x=<x> y=<y>               jog x=<x> y=<y>
//   unknown at=<offset> bytes=<n> "<escaped bytes>"[...][ unterminated]
//   summary status=<s> bytes=<n> up=<n> cut=<n> jog=<n> sections=<n>
//           unknown=<n> unknown_bytes=<n> cut_mm=<mm, 3 decimals>   (one line)
// Moves are in job coordinates, x the second number and y the first of the
// command, with the digit exchange undone and the section offset added.
// Status: complete, closed, timeout, dropped, stalled or interrupted.
#include <fstream>
#include <string>
#include <string_view>

#include "cutter-emu/job_record.h"
#include "cutter-emu/stream_decoder.h"

namespace cutter_emu {

// At most this many bytes of an unknown command are shown.
inline constexpr size_t kShownUnknownBytes = 64;

void AppendJobLine(int job, std::string& out);
void AppendEventLine(const StreamEvent& e, std::string& out);
void AppendSummaryLine(const JobRecord& record, std::string& out);
// Cut length in millimetres with three decimals (40 units a millimetre).
std::string FormatMillimetres(double units);

// Collects lines and writes them to a file in large pieces; without a path
// it only discards them.
class EventLog {
 public:
  EventLog() = default;
  bool Open(const std::string& path);
  std::string& Buffer() { return buffer_; }
  // Writes what the buffer holds once it is large, or always with `force`.
  void Flush(bool force = false);
  bool Close();  // false when any write failed

 private:
  std::ofstream file_;
  std::string buffer_;
  bool open_ = false;
};

}  // namespace cutter_emu
