#include "sheet/sheet_layout.h"

#include <cstdio>

namespace plotmark {
namespace {

std::string Units(double v) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.2f", v);
  return std::string(buffer) == "-0.00" ? "0.00" : buffer;
}

}  // namespace

std::string SheetLayoutText(const CutJob& job, const Polylines& cut, const MarkValues& v,
                            const std::vector<Mark>& marks) {
  std::string out =
      "# plotmark sheet layout: marks and cut contour in the job's coordinates,\n"
      "# plotter units (40 a mm), x the second number of a U command, y the first.\n";
  out += "plotmark-layout 1\n";
  out += "marktype " + std::to_string(v.type) + "\n";
  out += "margin " + std::to_string(v.margin) + "\n";
  out += "span " + std::to_string(v.spanX) + " " + std::to_string(v.spanY) + "\n";
  out += "sections " + std::to_string(v.sections) + "\n";
  for (const Mark& m : marks) {
    out += "mark " + std::to_string(m.label) + " " + Units(m.x) + " " + Units(m.y) + "\n";
  }
  // The inverse of JobToPage.
  for (const Span& s : cut.spans) {
    if (s.end - s.begin < 2) continue;
    out += "path " + std::to_string(s.end - s.begin) + "\n";
    for (size_t i = s.begin; i < s.end; ++i) {
      const Point& p = cut.points[i];
      out += Units(job.spanX - (p.x - job.box.minX) * kUnitsPerMm) + " " + Units((job.box.maxY - p.y) * kUnitsPerMm) +
             "\n";
    }
  }
  return out;
}

}  // namespace plotmark
