// The compensated device command writer: paths are collected and cut with
// blade-offset corner compensation, closed paths with a moved start and a
// closure overcut.
#include <algorithm>
#include <exception>

#include "command_writer.h"
#include "corner_compensation.h"
#include "decimal.h"
#include "plt_file.h"

namespace plotsend {
namespace {

constexpr uint32_t kMinClosureLength = 40;  // 1 mm

// Millimetres to units, negative lengths counting as 0.
uint32_t LengthUnits(double mm) { return static_cast<uint32_t>(std::max(0, MmToUnits(mm))); }

}  // namespace

class CompensatedCutWriter {
 public:
  CompensatedCutWriter(const CPLTFile& job, CommandWriter& out)
      : points_(job.points_), offset_(job.bladeOffset_), closure_(job.closureLength_), out_(out) {}

  // Walks the points, collecting each path from its pen-up start through
  // its cutting points, and cuts it when the next pen-up or marker (or the
  // end of the job) closes it. Paths outside the section window are dropped.
  void Run() {
    recorder_.Reset(closure_);
    CutPoint start{};
    size_t first = 0;  // index of the path's first cutting point
    size_t n = 0;      // cutting points since the start
    for (size_t i = 0; i < points_.size(); ++i) {
      const JobPoint& p = points_[i];
      if (IsMarkerKind(p.kind)) {
        if (out_.InWindow()) Flush(start, first, n);
        n = 0;
        first = i + 1;
        out_.Marker();
      } else if (p.kind == kPenUp) {
        if (out_.InWindow()) Flush(start, first, n);
        n = 0;
        first = i + 1;
        start = CutPoint{p.x, p.y};
      } else {
        ++n;
      }
    }
    // A job that does not end on a pen-up move still has its last path cut.
    if (out_.InWindow()) Flush(start, first, n);
  }

 private:
  CutPoint At(size_t first, size_t i) const {  // i is 1-based
    const JobPoint& p = points_[first + i - 1];
    return CutPoint{p.x, p.y};
  }
  void Up(CutPoint p) { out_.Move('U', p.x, p.y); }
  void Down(CutPoint p) { out_.Move('D', p.x, p.y); }

  // Writes a corner routine's cuts, recording them for the closure overcut.
  bool Corner(CutPoint a, CutPoint p, CutPoint b, bool closing, bool record) {
    const CornerCuts cuts = CornerRoutine(a, p, b, offset_, closing);
    for (int k = 0; k < cuts.count; ++k) {
      const CutPoint& q = cuts.points[static_cast<size_t>(k)];
      Down(q);
      if (record) recorder_.Record(q);
    }
    return cuts.compensated;
  }

  void Flush(CutPoint start, size_t first, size_t n) {
    if (n == 0) return;
    if (n == 1) {
      Up(start);
      Down(At(first, 1));
      return;
    }
    const bool closed = At(first, n) == start;
    if (offset_ == 0) {
      Up(start);
      for (size_t i = 1; i <= n; ++i) Down(At(first, i));
      return;
    }
    if (!closed) {
      Up(start);
      bool endedAtLast = false;
      for (size_t i = 1; i < n; ++i) {
        const CutPoint before = i == 1 ? start : At(first, i - 1);
        endedAtLast = Corner(before, At(first, i), At(first, i + 1), false, false);
      }
      if (!endedAtLast) Down(At(first, n));
      return;
    }
    // Closed path: start one blade offset along the first side when its
    // corner allows, cut round with the closing corner compensated too, and
    // re-cut the recorded beginning.
    recorder_.Reset(closure_);
    CutPoint s = start;
    if (StartTest(start, At(first, 1), At(first, 2))) s = PointToward(start, At(first, 1), offset_);
    Up(s);
    recorder_.Record(s);
    for (size_t i = 1; i < n; ++i) {
      const CutPoint before = i == 1 ? s : At(first, i - 1);
      Corner(before, At(first, i), At(first, i + 1), false, true);
    }
    Corner(At(first, n - 1), At(first, n), At(first, 1), true, true);
    for (int k = 0; k < recorder_.Count(); ++k) Down(recorder_.At(k));
    recorder_.Reset(closure_);
  }

  const std::vector<JobPoint>& points_;
  const uint32_t offset_;
  const uint32_t closure_;
  CommandWriter& out_;
  ClosureRecorder recorder_;
};

int CPLTFile::SetCompensation(double offsetMm, double closureMm) {
  bladeOffset_ = LengthUnits(offsetMm);
  closureLength_ = LengthUnits(closureMm);
  if (closureLength_ < kMinClosureLength) closureLength_ = kMinClosureLength;
  return 1;
}

int CPLTFile::WriteCompensatedCutFile(const std::string& path) {
  if (bladeOffset_ == 0 && closureLength_ == 0) return 0;
  try {
    CommandWriter out(path, CommandWriter::Params{mark_, from_, to_, jobLength_});
    if (!out.Ok()) return 0;
    // With a blade offset the closure overcut is always 1 mm.
    if (bladeOffset_ != 0) closureLength_ = kMinClosureLength;
    sectionWidth_ = out.SectionWidth();
    out.Header();
    CompensatedCutWriter(*this, out).Run();
    return out.Finish() ? 1 : 0;
  } catch (const std::exception&) {
    return 0;  // out of memory for the output buffer
  }
}

}  // namespace plotsend
