// The plain device command writer: every move as it is (optionally dashed),
// with the mark header, section window and trailer.
#include <exception>

#include "command_writer.h"
#include "dashed_lines.h"
#include "plt_file.h"

namespace plotsend {

class CutFileWriter {
 public:
  static bool Write(CPLTFile& job, const std::string& path) {
    CommandWriter out(path, CommandWriter::Params{job.mark_, job.from_, job.to_, job.jobLength_});
    if (!out.Ok()) return false;
    job.sectionWidth_ = out.SectionWidth();
    out.Header();
    auto emit = [&out](const JobPoint& p) {
      if (IsMarkerKind(p.kind)) {
        out.Marker();
      } else if (out.InWindow()) {
        out.Move(p.kind == kPenUp ? 'U' : 'D', p.x, p.y);
      }
    };
    const DashPattern pattern = MakeDashPattern(job.dashLineMm_, job.dashGapMm_);
    DashedPoints dashed(pattern, emit);
    const bool read = job.ForEachBatch([&](std::span<const JobPoint> batch) {
      for (const JobPoint& p : batch) {
        if (job.dashed_) {
          dashed.Push(p);
        } else {
          emit(p);
        }
      }
    });
    // A job whose file could not be read again is not finished: the partial
    // output is discarded and the file that was there stays.
    return read && out.Finish();
  }
};

bool CPLTFile::WriteCutFile(const std::string& path) {
  try {
    return CutFileWriter::Write(*this, path);
  } catch (const std::exception&) {
    return false;  // out of memory for the output buffer
  }
}

}  // namespace plotsend
