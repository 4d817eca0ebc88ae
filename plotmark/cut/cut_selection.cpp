#include "cut/cut_selection.h"

#include "cut/outline.h"

namespace plotmark {
namespace {

bool Selected(const DesignPath& p, const CutChoice& choice) {
  switch (choice.mode) {
    case CutMode::AllOutlines: return true;
    case CutMode::Stroke: return p.stroke.has_value() && *p.stroke == choice.stroke;
    case CutMode::Id: return p.inCutId;
    case CutMode::Outline: return false;
  }
  return false;
}

}  // namespace

Polylines SelectCut(const Design& design, const CutChoice& choice) {
  if (choice.mode == CutMode::Outline) return GrownOutline(design, choice.outlineMm);
  Polylines cut;
  for (const DesignPath& p : design.paths) {
    if (!Selected(p, choice)) continue;
    cut.Add(design.points.data() + p.begin, design.points.data() + p.end, p.closed);
  }
  return cut;
}

}  // namespace plotmark
