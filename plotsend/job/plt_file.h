#pragma once
// One cut job as a flat list of points read from a PLT work file, or
// handed over by the stage before as a PointRecord: the reader, the bounds,
// the geometry steps and the plain PLT writer. How the job is cut is no
// part of it (cut_params.h); the writers take its points as a PointSource.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job/bounds.h"
#include "job/mark_ref.h"
#include "job/point_record.h"
#include "job/point_source.h"

namespace plotsend {

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
  void ParsePlt(std::string_view text);  // replaces the job with the parse of text, held in memory
  // Replaces the job with the recorded points, as if they had been read
  // from the file they were written to. The bounds and the job length stay
  // those of the last ComputeBounds.
  void SetRecord(std::shared_ptr<const PointRecord> record);
  // Replaces the job with `points`, read as they are whenever a pass asks.
  void SetPoints(std::shared_ptr<const PointSource> points);
  int ComputeBounds();  // also sets the job length
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
  // The points the reader reads back from the file SaveNormalizedPlt
  // writes now, without the file: they stay as they are when this job
  // takes further steps.
  std::shared_ptr<const PointSource> SavedPoints(const MarkRef& mark) const;
  // The job as it stands, apart from this object: another thread may write
  // it while this job takes further steps. It raises no messages.
  std::unique_ptr<CPLTFile> Snapshot() const;

  // Hands the job's points to fn in order, a batch at a time, with the
  // geometry applied. False when a loaded file can no longer be read as it
  // was loaded: what fn received is then not the whole job.
  bool ForEachBatch(const PointBatchFn& fn) const override;
  // The whole list at once, for small jobs.
  std::vector<JobPoint> Points() const;
  bool HasCuttingMove() const;
  const Bounds& GetBounds() const { return bounds_; }

 private:
  // What is known of the points before any step, from reading them whole.
  struct Summary {
    Bounds bounds;
    bool hasCut = false;
  };
  void Replace(std::shared_ptr<const PointSource> points, std::optional<Summary> summary);
  // Queues a geometry step for every pass over the points.
  void Transform(const PointTransform& step);

  Notify notify_;
  std::shared_ptr<const PointSource> points_;  // the job before the steps; none for an empty job
  std::vector<PointTransform> steps_;          // applied to the points as they are read
  std::optional<Summary> summary_;
  Bounds bounds_;
  int32_t jobLength_ = 0;
};

}  // namespace plotsend
