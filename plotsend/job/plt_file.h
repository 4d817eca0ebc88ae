#pragma once
// One cut job as a flat list of points read from a PLT work file: the
// reader, the bounds, the geometry steps and the plain PLT writer. How the
// job is cut is no part of it (cut_params.h); the writers take its points
// as a PointSource.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mark_ref.h"
#include "point_source.h"

namespace plotsend {

struct Bounds {
  int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
};

// One step of the job's geometry, kept so that it can be applied to points
// as they are read back from a file.
struct PointTransform {
  enum class Kind : uint8_t { Subtract, Add, Bilinear };
  Kind kind = Kind::Add;
  int32_t dx = 0, dy = 0;  // Subtract, Add; the mapped origin for Bilinear
  // Bilinear: marks 2..4 relative to mark 1, the spans and the job shift.
  double v[6] = {};
  int32_t spanX = 0, spanY = 0, cx = 0, cy = 0;
  void Apply(JobPoint& p) const;
  void ApplyBilinear(JobPoint& p) const;
};

// The four measured mark positions and the spans between the marks they
// stand for, which the four-mark correction maps the job onto.
struct MeasuredMarks {
  MarkCorrection positions{};
  int32_t spanX = 0;
  int32_t spanY = 0;
};

class CPLTFile : public PointSource {
 public:
  explicit CPLTFile(Notify notify = {});
  CPLTFile(const CPLTFile&) = delete;
  CPLTFile& operator=(const CPLTFile&) = delete;

  // Reader, bounds and geometry steps.
  // 1 read, 0 cannot open ("Open File Failed", the job stays as it was).
  // The points are not held: every later pass reads the file again, so a
  // job of any size takes the memory of one piece of it.
  int LoadPlt(const std::string& path);
  void ParsePlt(std::string_view text);          // replaces the job with the parse of text, held in memory
  int ComputeBounds();                           // also sets the job length
  int MoveToOrigin(int32_t dx, int32_t dy);
  bool ApplyOriginOffset(int32_t dx, int32_t dy);
  // The four-mark correction: the job mapped onto the measured marks.
  bool ApplyMarkCorrection(const MeasuredMarks& marks, int32_t x0, int32_t y0, int32_t cx, int32_t cy);
  // The job length (maxY - minY of ComputeBounds); a job that computes no
  // bounds of its own may be given the prepared job's.
  void SetJobLength(int32_t length) { jobLength_ = length; }
  int32_t JobLength() const { return jobLength_; }

  // The plain PLT work file, ending on the closing move that `mark` asks
  // for. 1 written, 0 when the file cannot be written.
  int SaveNormalizedPlt(const std::string& path, const MarkRef& mark);

  // Hands the job's points to fn in order, a batch at a time, with the
  // geometry applied. False when a loaded file can no longer be read as it
  // was loaded: what fn received is then not the whole job.
  bool ForEachBatch(const PointBatchFn& fn) const override;
  // The whole list at once, for small jobs.
  std::vector<JobPoint> Points() const;
  bool HasCuttingMove() const;
  const Bounds& GetBounds() const { return bounds_; }

 private:
  // Applies a geometry step now (parsed text) or queues it for every pass
  // over the loaded file.
  void Transform(const PointTransform& step);

  Notify notify_;
  std::vector<JobPoint> points_;  // a parsed text's points
  std::string backing_;           // a loaded file; empty for a parsed text
  uint64_t backingSize_ = 0;
  std::vector<PointTransform> pending_;  // steps applied to the file's points as they are read
  Bounds loadedBounds_;                  // bounds of the file's points before any step
  bool loadedHasCut_ = false;
  Bounds bounds_;
  int32_t jobLength_ = 0;
};

}  // namespace plotsend
