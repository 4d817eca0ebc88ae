#pragma once
// The print sheet in numbers, a small text file beside the sheet's SVG: the
// registration marks and the cut contour in the job's coordinates, for
// whoever checks a cut against the print (the stand-in cutter does).
//
//   plotmark-layout 1
//   marktype 1
//   margin 400
//   span 3800 1800
//   sections 1
//   mark 1 -400 -400          label (-1: none), x, y of the mark's point
//   path 5                    a contour path of 5 points, one "x y" a line
//   3800.00 0.00
//   ...
//
// Lines starting with '#' are comments. Coordinates are plotter units (40 a
// millimetre): x is the second number of a U command and y the first (the
// feed), with the job's origin at the cut's bottom right corner, as Plotsend
// cuts the job. The contour is the cut as designed, before the job's
// rounding to whole units.
#include <string>
#include <vector>

#include "cut/polylines.h"
#include "job/cut_job.h"
#include "marks/mark_layout.h"

namespace plotmark {

// The layout file of a sheet NAME.svg is NAME.layout.txt.
inline constexpr const char* kLayoutSuffix = ".layout.txt";

std::string SheetLayoutText(const CutJob& job, const Polylines& cut, const MarkValues& values,
                            const std::vector<Mark>& marks);

}  // namespace plotmark
