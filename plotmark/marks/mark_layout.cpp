#include "marks/mark_layout.h"

#include "import/design.h"

namespace plotmark {
namespace {

// Four marks at the corners of a frame from (x0, y0) to (x1, y1), L arms
// pointing into the frame; labels 1 (origin) to 4 in the order Plotsend's
// alignment measures them.
void FourCorners(std::vector<Mark>& out, MarkShape shape, double x0, double y0, double x1, double y1) {
  out.push_back({shape, x0, y0, +1, +1, 1});
  out.push_back({shape, x0, y1, +1, -1, 2});
  out.push_back({shape, x1, y1, -1, -1, 3});
  out.push_back({shape, x1, y0, -1, +1, 4});
}

// Marks on both sides at every section border, numbered from the origin.
void SectionMarks(std::vector<Mark>& out, MarkShape shape, const MarkValues& v) {
  const int32_t width = SectionWidth(v);
  const int n = v.sections < 1 ? 1 : v.sections;
  const double left = -v.margin, right = double(v.spanX) + v.margin;
  for (int k = 0; k <= n; ++k) {
    const double y = double(width) * k;
    const int dy = k < n ? +1 : -1;
    out.push_back({shape, left, y, +1, dy, k});
    out.push_back({shape, right, y, -1, dy, -1});
  }
}

}  // namespace

int32_t SectionWidth(const MarkValues& v) { return v.spanY / (v.sections < 1 ? 1 : v.sections); }

double OrientationOffset(const MarkSizes& sizes) { return 3 * sizes.circle * kUnitsPerMm; }

std::vector<Mark> LayoutMarks(const MarkValues& v, const MarkSizes& sizes) {
  std::vector<Mark> marks;
  const double m = v.margin, sx = v.spanX, sy = v.spanY;
  switch (v.type) {
    case 1:
      // The alignment's frame: SpanX = MarkSpanX + 2M, SpanY = MarkSpanY + 2M
      // from the origin mark at (-M, -M).
      FourCorners(marks, MarkShape::CrossedCircle, -m, -m, sx + m, sy + m);
      break;
    case 2:
    case 4:
    case 6:
      // Announced as MarkSpanY + 2M along the feed, MarkSpanX + 2M across.
      FourCorners(marks, MarkShape::Corner, -m, -m, sx + m, sy + m);
      break;
    case 3:
    case 5:
      // Announced as MarkSpanY along the feed, MarkSpanX + 2M across.
      FourCorners(marks, MarkShape::Dot, -m, 0, sx + m, sy);
      marks.push_back({MarkShape::Dot, -m, OrientationOffset(sizes), 1, 1, -1});
      break;
    case 7: FourCorners(marks, MarkShape::Corner, -m, 0, sx + m, sy); break;
    case 8: SectionMarks(marks, MarkShape::Corner, v); break;
    case 9:
      SectionMarks(marks, MarkShape::Dot, v);
      marks.push_back({MarkShape::Dot, -m, OrientationOffset(sizes), 1, 1, -1});
      break;
    default: break;
  }
  return marks;
}

}  // namespace plotmark
