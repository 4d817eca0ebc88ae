#include "cutter-emu/render_job.h"

#include <algorithm>
#include <vector>

#include "cutter-emu/event_log.h"

namespace cutter_emu {
namespace {

constexpr double kMargin = 20.0;
constexpr double kMinWidth = 560.0;  // room for the summary line

}  // namespace

Layout ComputeLayout(const JobRecord& record, double longest) {
  int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
  for (const Segment& s : record.segments) {
    minX = std::min({minX, s.x0, s.x1});
    maxX = std::max({maxX, s.x0, s.x1});
    minY = std::min({minY, s.y0, s.y1});
    maxY = std::max({maxY, s.y0, s.y1});
  }
  const double rangeX = std::max(1.0, static_cast<double>(maxX) - minX);
  const double rangeY = std::max(1.0, static_cast<double>(maxY) - minY);
  Layout l;
  l.scale = longest / std::max(rangeX, rangeY);
  l.margin = kMargin;
  l.maxX = maxX;
  l.maxY = maxY;
  l.width = std::max(kMinWidth, rangeX * l.scale + 2 * kMargin);
  l.height = rangeY * l.scale + 2 * kMargin + kTextBand;
  return l;
}

std::string SummaryText(const JobRecord& record) {
  const JobSummary& s = record.summary;
  std::string t = std::to_string(s.bytes) + " bytes, " + std::to_string(s.penUps) + " moves, " +
                  std::to_string(s.cuts) + " cuts, cut length " + FormatMillimetres(s.cutLength) + " mm, " +
                  StatusName(record.status);
  if (s.unknown > 0) t += ", " + std::to_string(s.unknown) + " unknown";
  return t;
}

void DrawJob(const JobRecord& record, const Layout& layout, bool showTravel, Canvas& canvas) {
  // Joined segments of one kind become one polyline.
  std::vector<PixelPoint> line;
  SegmentKind kind = SegmentKind::Cut;
  const Segment* last = nullptr;
  auto flush = [&] {
    if (line.size() >= 2) canvas.Polyline(line, kind);
    line.clear();
  };
  for (const Segment& s : record.segments) {
    if (s.kind == SegmentKind::Travel && !showTravel) continue;
    const bool joined = last != nullptr && s.kind == kind && last->x1 == s.x0 && last->y1 == s.y0;
    if (!joined) {
      flush();
      kind = s.kind;
      line.push_back(layout.At(s.x0, s.y0));
    }
    line.push_back(layout.At(s.x1, s.y1));
    last = &s;
  }
  flush();
  canvas.Cross(layout.At(0, 0), 6.0);
  canvas.Text({layout.margin, layout.height - kTextBaseline}, SummaryText(record));
}

}  // namespace cutter_emu
