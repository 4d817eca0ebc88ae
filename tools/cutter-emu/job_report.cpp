#include "cutter-emu/job_report.h"

#include "cutter-emu/event_log.h"

namespace cutter_emu {

std::string JobReport(const JobRecord& record, int job) {
  const JobSummary& s = record.summary;
  const std::string bytes = std::to_string(s.bytes) + " bytes";
  std::string text = "job " + std::to_string(job) + ": ";
  switch (record.status) {
    case JobStatus::Complete:
      text += "complete, " + bytes + ", " + std::to_string(s.penUps) + " moves, " + std::to_string(s.cuts) +
              " cuts, cut length " + FormatMillimetres(s.cutLength) + " mm";
      break;
    case JobStatus::Closed:
      text += "incomplete: the sender closed the link after " + bytes + ", before the end of job \"@\"";
      break;
    case JobStatus::Timeout:
      text += s.bytes == 0 ? std::string("nothing arrived before the idle time-out")
                           : "incomplete: nothing more arrived after " + bytes +
                                 " within the idle time-out, no end of job \"@\"";
      break;
    case JobStatus::Dropped:
      text += "incomplete: the link was dropped after " + bytes + " as asked (--close-after)";
      break;
    case JobStatus::Stalled:
      text += "incomplete: reading stopped after " + bytes +
              " as asked (--stall-after) until the sender left or the idle time-out";
      break;
    case JobStatus::Interrupted: text += "incomplete: stopped by a signal after " + bytes; break;
    case JobStatus::Receiving: text += "not finished"; break;
  }
  if (s.unknown > 0) {
    text +=
        "; " + std::to_string(s.unknown) + " commands (" + std::to_string(s.unknownBytes) + " bytes) not understood";
  }
  return text;
}

}  // namespace cutter_emu
