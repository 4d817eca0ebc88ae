#pragma once
// Draws a job record the way the main dialog's preview shows a job: x grows
// to the left, y upward, the origin at the bottom right; cuts as solid
// lines, pen-up travel light and dashed, jogs of the alignment in red, and
// a line of summary under the drawing.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "cutter-emu/job_record.h"

namespace cutter_emu {

struct PixelPoint {
  double x, y;
};

// What a drawing surface offers.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Polyline(std::span<const PixelPoint> points, SegmentKind kind) = 0;
  virtual void Cross(PixelPoint at, double size) = 0;  // the job's origin
  virtual void Text(PixelPoint at, std::string_view text) = 0;
};

struct Layout {
  double scale = 1.0;  // pixels per unit
  double margin = 20.0;
  double width = 0, height = 0;  // pixels, text band included
  int32_t maxX = 0, maxY = 0;
  PixelPoint At(int32_t x, int32_t y) const {
    return {margin + (static_cast<double>(maxX) - x) * scale, margin + (static_cast<double>(maxY) - y) * scale};
  }
};

inline constexpr double kDrawingSize = 1200.0;  // longest side of the drawings
// The band under the drawing that holds the summary, and the summary's
// baseline above the picture's bottom.
inline constexpr double kTextBand = 24.0;
inline constexpr double kTextBaseline = 8.0;

// Fits the record (and the origin) into `longest` pixels along its longer
// side, with a margin around and a band for the summary below; the picture
// is at least wide enough for the summary.
Layout ComputeLayout(const JobRecord& record, double longest);

// "<n> bytes, <n> moves, <n> cuts, cut length <mm> mm, <status>[, <n> unknown]"
std::string SummaryText(const JobRecord& record);

void DrawJob(const JobRecord& record, const Layout& layout, bool showTravel, Canvas& canvas);

}  // namespace cutter_emu
