#pragma once
// The HP-GL commands the importer knows, and what it does with each.
#include <string_view>

namespace plotmark {

enum class HpglOp {
  Init,        // IN
  Defaults,    // DF
  PenUp,       // PU
  PenDown,     // PD
  Absolute,    // PA
  Relative,    // PR
  SelectPen,   // SP
  InputP1P2,   // IP
  Scale,       // SC
  Circle,      // CI
  ArcAbs,      // AA
  ArcRel,      // AR
  Label,       // LB: text up to the label terminator, not cut
  Terminator,  // DT: sets the label terminator
  Ignored,     // no effect on the cut (speed, force, pen width, line type ...)
  Unsupported,
};

// The operation for a two-letter mnemonic (upper case); Unsupported for
// any the table does not hold.
HpglOp LookUpHpgl(std::string_view mnemonic);

}  // namespace plotmark
