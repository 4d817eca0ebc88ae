#pragma once
// One cut job as a flat list of points read from a PLT work file, and the
// writers that turn it into the device command file.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mark_ref.h"

namespace plotsend {

// Point kinds: 1 pen-up move (U), 2 cutting move (D), 4..12 section marker
// read from TM1..TM9 (kind = n + 3). Kinds below 4 are moves.
inline constexpr uint8_t kPenUp = 1;
inline constexpr uint8_t kCut = 2;
inline constexpr uint8_t kFirstMarker = 4;

struct JobPoint {
  int32_t x = 0;  // second number of the command
  int32_t y = 0;  // first number of the command
  uint8_t kind = 0;
  bool operator==(const JobPoint&) const = default;
};

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

using PointBatchFn = std::function<void(std::span<const JobPoint>)>;

class CPLTFile {
 public:
  explicit CPLTFile(Notify notify = {});
  CPLTFile(const CPLTFile&) = delete;
  CPLTFile& operator=(const CPLTFile&) = delete;

  // Reader, bounds and translations.
  // 1 read, 0 cannot open ("Open File Failed", the job stays as it was).
  // The points are not held: every later pass reads the file again, so a
  // job of any size takes the memory of one piece of it.
  int LoadPlt(const std::string& path);
  void ParsePlt(std::string_view text);          // replaces the job with the parse of text, held in memory
  int ComputeBounds();                           // also sets the job length
  int MoveToOrigin(int32_t dx, int32_t dy);
  bool ApplyOriginOffset(int32_t dx, int32_t dy);
  int SaveNormalizedPlt(const std::string& path);  // 1 written, 0 when the file cannot be written

  // Parameters copied in by the dialog before generation.
  void SetMarkRef(const MarkRef& ref) { mark_ = ref; }
  void SetSectionWindow(uint8_t first, uint8_t last) { from_ = first; to_ = last; }  // 1-based
  void SetDashedLine(bool enabled, double lineMm, double gapMm);
  void SetMarkPositions(const MarkCorrection& positions, int32_t spanX, int32_t spanY);
  // The job length (maxY - minY of the prepared job's ComputeBounds) travels
  // with the job: a job loaded from kavren.kv2 is given the prepared one's.
  void SetJobLength(int32_t length) { jobLength_ = length; }
  int32_t JobLength() const { return jobLength_; }

  // Generation.
  int SetCompensation(double offsetMm, double closureMm);
  bool ApplyMarkCorrection(int32_t x0, int32_t y0, int32_t cx, int32_t cy);
  bool WriteCutFile(const std::string& path);       // false when the file cannot be written
  int WriteCompensatedCutFile(const std::string& path);  // 0 when both lengths are 0 or on write failure

  // Hands the job's points to fn in order, a batch at a time, with the
  // geometry applied. False when a loaded file can no longer be read as it
  // was loaded: what fn received is then not the whole job.
  bool ForEachBatch(const PointBatchFn& fn) const;
  // The whole list at once, for small jobs.
  std::vector<JobPoint> Points() const;
  bool HasCuttingMove() const;
  const Bounds& GetBounds() const { return bounds_; }
  const MarkRef& GetMarkRef() const { return mark_; }
  int32_t SectionWidth() const { return sectionWidth_; }
  uint32_t BladeOffset() const { return bladeOffset_; }
  uint32_t ClosureLength() const { return closureLength_; }

 private:
  friend class CutFileWriter;
  friend class CompensatedCutWriter;

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

  MarkRef mark_;
  uint8_t from_ = 1;
  uint8_t to_ = 255;
  int32_t sectionWidth_ = 0;

  bool dashed_ = false;
  double dashLineMm_ = 0.0;
  double dashGapMm_ = 0.0;

  uint32_t bladeOffset_ = 0;    // units
  uint32_t closureLength_ = 0;  // units

  MarkCorrection markPositions_{};
  int32_t spanX_ = 0;
  int32_t spanY_ = 0;
};

}  // namespace plotsend
