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
    if (job.dashed_) {
      ForEachDashedPoint(job.points_, MakeDashPattern(job.dashLineMm_, job.dashGapMm_), emit);
    } else {
      for (const JobPoint& p : job.points_) emit(p);
    }
    return out.Finish();
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
