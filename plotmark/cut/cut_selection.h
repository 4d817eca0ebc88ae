#pragma once
// Chooses what is cut from a design.
#include <string>

#include "cut/polylines.h"
#include "import/design.h"

namespace plotmark {

enum class CutMode {
  AllOutlines,  // every path of the design
  Stroke,       // the paths stroked in one colour
  Id,           // the paths inside the element with one id
  Outline,      // the outer outline of everything printed, grown by a distance
};

struct CutChoice {
  CutMode mode = CutMode::AllOutlines;
  Colour stroke = 0;
  std::string id;
  double outlineMm = 0.0;
};

Polylines SelectCut(const Design& design, const CutChoice& choice);

}  // namespace plotmark
