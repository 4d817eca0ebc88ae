// The plain device command writer: every move as it is (optionally dashed),
// with the mark header, section window and trailer.
#include <exception>

#include "job/command_writer.h"
#include "job/cut_writers.h"
#include "job/dashed_lines.h"

namespace plotsend {
namespace {

bool Write(const PointSource& points, const CutParams& params, const std::string& path) {
  CommandWriter out(path, params);
  if (!out.Ok()) return false;
  out.Header();
  auto emit = [&out](const JobPoint& p) {
    if (IsMarkerKind(p.kind)) {
      out.Marker();
    } else if (out.InWindow()) {
      out.Move(p.kind == kPenUp ? 'U' : 'D', p.x, p.y);
    }
  };
  const bool dashing = params.dashes.has_value();
  DashedPoints dashed(params.dashes.value_or(DashPattern{}), emit);
  const bool read = points.ForEachBatch([&](std::span<const JobPoint> batch) {
    for (const JobPoint& p : batch) {
      if (dashing) {
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

}  // namespace

bool WriteCutFile(const PointSource& points, const CutParams& params, const std::string& path) {
  try {
    return Write(points, params, path);
  } catch (const std::exception&) {
    return false;  // out of memory for the output buffer
  }
}

}  // namespace plotsend
