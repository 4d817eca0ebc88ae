#pragma once
// Where the registration marks of each mark type are printed, in the job's
// coordinates after Plotsend's turn and move to the origin (plotter units;
// x = the second number of a U command, y the first, the feed). The rules
// are our layout, written down in docs/plotmark.md.
#include <cstdint>
#include <vector>

namespace plotmark {

// The values markref.kv carries.
struct MarkValues {
  int32_t spanX = 0;     // MarkSpanX
  int32_t spanY = 0;     // MarkSpanY
  int32_t margin = 0;    // MarkMargin
  uint8_t type = 1;      // MarkType
  uint8_t sections = 1;  // SectionCount
};

enum class MarkShape {
  CrossedCircle,  // an open circle with a cross through its centre
  Dot,            // a filled circle
  Corner,         // an L of two bars; its outer corner is the mark's point
};

struct Mark {
  MarkShape shape = MarkShape::Dot;
  double x = 0, y = 0;  // the centre, or the corner point of an L
  int dx = 1, dy = 1;   // Corner: the directions of its arms along x and y
  int label = -1;       // printed beside the mark; -1 for none
};

// Sizes on the sheet, millimetres.
struct MarkSizes {
  double circle = 5.0;  // diameter of circles and dots
  double arm = 10.0;    // length of an L's arms
  double line = 0.5;    // thickness of circle and cross lines; an L's bars are twice as thick
};

// Section width: MarkSpanY divided by SectionCount, as Plotsend computes it.
int32_t SectionWidth(const MarkValues& v);

// The distance from the origin mark to the fifth, orientation circle.
double OrientationOffset(const MarkSizes& sizes);

// Every mark of `v.type` (none for type 0 and unknown types).
std::vector<Mark> LayoutMarks(const MarkValues& v, const MarkSizes& sizes);

}  // namespace plotmark
