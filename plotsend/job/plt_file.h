#pragma once
// One cut job as a flat list of points read from a PLT work file, and the
// writers that turn it into the device command file.
#include <cstdint>
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

class CPLTFile {
 public:
  explicit CPLTFile(Notify notify = {});
  CPLTFile(const CPLTFile&) = delete;
  CPLTFile& operator=(const CPLTFile&) = delete;

  // Reader, bounds and translations.
  int LoadPlt(const std::string& path);          // 1 read, 0 cannot open ("Open File Failed")
  void ParsePlt(std::string_view text);          // replaces the point list with the parse of text
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

  const std::vector<JobPoint>& Points() const { return points_; }
  const Bounds& GetBounds() const { return bounds_; }
  const MarkRef& GetMarkRef() const { return mark_; }
  int32_t SectionWidth() const { return sectionWidth_; }
  uint32_t BladeOffset() const { return bladeOffset_; }
  uint32_t ClosureLength() const { return closureLength_; }

 private:
  friend class CutFileWriter;
  friend class CompensatedCutWriter;

  Notify notify_;
  std::vector<JobPoint> points_;
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
