// The compensated device command writer: paths are collected and cut with
// blade-offset corner compensation, closed paths with a moved start and a
// closure overcut.
#include <exception>
#include <vector>

#include "job/command_writer.h"
#include "job/corner_compensation.h"
#include "job/cut_writers.h"

namespace plotsend {
namespace {

class CompensatedCutWriter {
 public:
  CompensatedCutWriter(const PointSource& points, const Compensation& compensation, CommandWriter& out)
      : points_(points), offset_(compensation.bladeOffset), overcut_(compensation.OvercutLength()), out_(out) {}

  // Walks the points, collecting each path from its pen-up start through
  // its cutting points, and cuts it when the next pen-up or marker (or the
  // end of the job) closes it. Paths outside the section window are dropped.
  // Only the path being collected is held. False when the job could not be
  // read to its end.
  bool Run() {
    recorder_.Reset(overcut_);
    const bool read = points_.ForEachBatch([this](std::span<const JobPoint> batch) {
      for (const JobPoint& p : batch) Step(p);
    });
    // A job that does not end on a pen-up move still has its last path cut.
    if (out_.InWindow()) Flush();
    return read;
  }

 private:
  void Step(const JobPoint& p) {
    if (IsMarkerKind(p.kind)) {
      if (out_.InWindow()) Flush();
      path_.clear();
      out_.Marker();
    } else if (p.kind == kPenUp) {
      if (out_.InWindow()) Flush();
      path_.clear();
      start_ = CutPoint{p.x, p.y};
    } else {
      path_.push_back(CutPoint{p.x, p.y});
    }
  }

  CutPoint At(size_t i) const { return path_[i - 1]; }  // i is 1-based
  void Up(CutPoint p) { out_.Move('U', p.x, p.y); }
  void Down(CutPoint p) { out_.Move('D', p.x, p.y); }

  // Writes a corner routine's cuts, recording them for the closure overcut.
  bool Corner(CutPoint a, CutPoint p, CutPoint b, bool closing, bool record) {
    CornerRoutine(a, p, b, offset_, closing, cuts_);
    for (int k = 0; k < cuts_.count; ++k) {
      const CutPoint& q = cuts_.points[static_cast<size_t>(k)];
      Down(q);
      if (record) recorder_.Record(q);
    }
    return cuts_.compensated;
  }

  // Cuts the collected path (its cutting points follow start_).
  void Flush() {
    const size_t n = path_.size();
    const CutPoint start = start_;
    if (n == 0) return;
    if (n == 1) {
      Up(start);
      Down(At(1));
      return;
    }
    const bool closed = At(n) == start;
    if (offset_ == 0) {
      Up(start);
      for (size_t i = 1; i <= n; ++i) Down(At(i));
      return;
    }
    if (!closed) {
      Up(start);
      bool endedAtLast = false;
      for (size_t i = 1; i < n; ++i) {
        const CutPoint before = i == 1 ? start : At(i - 1);
        endedAtLast = Corner(before, At(i), At(i + 1), false, false);
      }
      if (!endedAtLast) Down(At(n));
      return;
    }
    // Closed path: start one blade offset along the first side when its
    // corner allows, cut round with the closing corner compensated too, and
    // re-cut the recorded beginning.
    recorder_.Reset(overcut_);
    CutPoint s = start;
    if (StartTest(start, At(1), At(2))) s = PointToward(start, At(1), offset_);
    Up(s);
    recorder_.Record(s);
    for (size_t i = 1; i < n; ++i) {
      const CutPoint before = i == 1 ? s : At(i - 1);
      Corner(before, At(i), At(i + 1), false, true);
    }
    Corner(At(n - 1), At(n), At(1), true, true);
    for (int k = 0; k < recorder_.Count(); ++k) Down(recorder_.At(k));
    recorder_.Reset(overcut_);
  }

  const PointSource& points_;
  const uint32_t offset_;
  const uint32_t overcut_;  // how far a closed path is cut again
  CommandWriter& out_;
  ClosureRecorder recorder_;
  CornerCuts cuts_;  // the last corner's, reused
  CutPoint start_{};
  std::vector<CutPoint> path_;  // cutting points of the path being collected
};

}  // namespace

int WriteCompensatedCutFile(const PointSource& points, const CutParams& params, const std::string& path) {
  if (!params.compensation.Any()) return 0;
  try {
    CommandWriter out(path, params);
    if (!out.Ok()) return 0;
    out.Header();
    if (!CompensatedCutWriter(points, params.compensation, out).Run()) return 0;  // partial output discarded
    return out.Finish() ? 1 : 0;
  } catch (const std::exception&) {
    return 0;  // out of memory for the output buffer
  }
}

}  // namespace plotsend
