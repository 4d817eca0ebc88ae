#include "import/hpgl_dialect.h"

#include <array>
#include <utility>

namespace plotmark {
namespace {

constexpr std::array<std::pair<std::string_view, HpglOp>, 40> kTable = {{
    {"IN", HpglOp::Init},
    {"DF", HpglOp::Defaults},
    {"PU", HpglOp::PenUp},
    {"PD", HpglOp::PenDown},
    {"PA", HpglOp::Absolute},
    {"PR", HpglOp::Relative},
    {"SP", HpglOp::SelectPen},
    {"IP", HpglOp::InputP1P2},
    {"SC", HpglOp::Scale},
    {"CI", HpglOp::Circle},
    {"AA", HpglOp::ArcAbs},
    {"AR", HpglOp::ArcRel},
    {"LB", HpglOp::Label},
    {"DT", HpglOp::Terminator},
    // Settings of the pen, the media and the plotter: nothing to cut.
    {"VS", HpglOp::Ignored},
    {"FS", HpglOp::Ignored},
    {"PW", HpglOp::Ignored},
    {"LT", HpglOp::Ignored},
    {"WU", HpglOp::Ignored},
    {"NP", HpglOp::Ignored},
    {"PC", HpglOp::Ignored},
    {"CO", HpglOp::Ignored},
    {"BP", HpglOp::Ignored},
    {"PG", HpglOp::Ignored},
    {"PS", HpglOp::Ignored},
    {"SI", HpglOp::Ignored},
    {"SL", HpglOp::Ignored},
    {"DI", HpglOp::Ignored},
    {"DR", HpglOp::Ignored},
    {"SS", HpglOp::Ignored},
    {"SA", HpglOp::Ignored},
    {"CS", HpglOp::Ignored},
    {"CA", HpglOp::Ignored},
    {"TD", HpglOp::Ignored},
    {"LA", HpglOp::Ignored},
    {"MC", HpglOp::Ignored},
    {"QL", HpglOp::Ignored},
    {"FT", HpglOp::Ignored},
    {"AC", HpglOp::Ignored},
    {"OP", HpglOp::Ignored},
}};

}  // namespace

HpglOp LookUpHpgl(std::string_view mnemonic) {
  for (const auto& [name, op] : kTable)
    if (name == mnemonic) return op;
  return HpglOp::Unsupported;
}

}  // namespace plotmark
