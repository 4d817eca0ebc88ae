#pragma once
// A printed sheet on the cutter's bed (--sheet, --place): follows the head
// through every move, tells where it is and how far each printed mark lies
// from it (--status), and at the end of each job either measures how far the
// cut lies from the printed contour, or, when the job announces automatic
// marks (TB26, TB27), checks the announced distances against the printed
// marks. How the cutter's firmware would correct an automatic job is not
// guessed: such jobs are only checked.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cutter-emu/session.h"
#include "cutter-emu/sheet_geometry.h"
#include "cutter-emu/sheet_layout.h"

namespace cutter_emu {

// Where the alignment starts the head: 10 mm from the origin on both axes.
inline constexpr double kAlignmentStart = 400;
// Announced distances may differ from the printed ones by this much: 0.1 mm.
inline constexpr double kAnnouncedTolerance = 4;

// The bed position of the sheet's origin when it lies straight: its first
// mark of a four-mark sheet (at the margin outside the cut's corner) under
// the alignment's start.
Vec NominalOrigin(const SheetLayout& layout);

// One distance a TB26 or TB27 announces, against the printed marks.
struct AnnouncedCheck {
  std::string command;  // "TB26", "TB27"
  std::string what;     // "margin", "feed", "across"
  int32_t announced = 0;
  std::optional<double> printed;  // units; none when the sheet has no such marks
  bool Ok() const;
};

// How far the cut lies from the printed contour, on the sheet.
struct Deviation {
  double cutMax = 0;      // units: the cut's farthest point from the contour
  double cutRms = 0;      // units, over the cut's length
  double contourMax = 0;  // units: the contour's farthest point from the cut
  Vec worst;              // on the sheet: where the cut strays farthest
  double cutLength = 0;   // units
  // For an aligned job: how far from the print a correction on three of the
  // marks (an affine one) would cut at best on this sheet, units.
  std::optional<double> threeMarks;
};

struct SheetResult {
  int job = 0;
  bool aligned = false;                // the head was jogged before the job
  std::optional<Deviation> deviation;  // measured for jobs without automatic marks
  std::vector<AnnouncedCheck> checks;  // one per distance of each distinct announcement
};

// Checks the distances of one TB26 (args: margin, feed, across) or TB27
// (margin, section width, across) against the layout's marks.
std::vector<AnnouncedCheck> CheckAnnouncement(const SheetLayout& layout, EventKind kind,
                                              const std::array<int32_t, 3>& args);

// The cut segments of a job, mapped onto the sheet and measured against
// `contour` (the layout's contour). Null when the job cut nothing.
std::optional<Deviation> MeasureCut(const JobRecord& job, const SheetPlacement& placement, const SegmentIndex& contour,
                                    const std::vector<std::vector<Vec>>& paths);

// The farthest a contour point of the placed sheet lies from where the
// affine map through marks 1, 2 and 4 puts it: what no correction on three
// marks can mend (a trapezoid). None without those marks.
std::optional<double> ThreeMarkResidual(const SheetLayout& layout, const SheetPlacement& placement);

// Every contour segment of the layout.
std::vector<SegmentIndex::Segment> ContourSegments(const std::vector<std::vector<Vec>>& paths);

// The listing's lines for a result ("sheet ..."), and the sentences of the
// report on the terminal.
void AppendSheetLines(const SheetResult& result, std::string& out);
std::vector<std::string> SheetReport(const SheetResult& result);

class SheetWatch final : public JobObserver {
 public:
  // Without a layout only the head is followed. With a status path, the
  // status is written there whenever the head has moved (and once at once).
  SheetWatch(const SheetLayout* layout, const Placement& placement, std::string statusPath);

  void OnEvent(const StreamEvent& e) override;
  void AfterReceive() override;
  void OnJobEnd(const JobRecord& job, std::string& listing) override;

  // moves <n>, head <x> <y>, and a line per mark: mark <label> dx=<mm>
  // dy=<mm> distance=<mm>, from the head to the mark on the bed.
  std::string StatusText() const;
  bool StatusFailed() const { return statusFailed_; }
  const std::vector<SheetResult>& Results() const { return results_; }
  const SheetPlacement& Placement() const { return placement_; }

 private:
  void WriteStatus();

  const SheetLayout* layout_;
  SheetPlacement placement_;
  SegmentIndex contour_;
  std::string statusPath_;
  bool statusFailed_ = false;
  uint64_t moves_ = 0, written_ = UINT64_MAX;
  Vec head_;
  bool jogged_ = false;
  std::vector<std::pair<EventKind, std::array<int32_t, 3>>> announced_;
  std::vector<SheetResult> results_;
};

}  // namespace cutter_emu
