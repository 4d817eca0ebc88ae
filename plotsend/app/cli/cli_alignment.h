#pragma once
// The mark alignment in a terminal: one command a line.
#include <cstdio>
#include <istream>

#include "intersect_alignment.h"

namespace plotsend {

// Runs the alignment until it ends: "x+", "x-", "y+", "y-" (or "left",
// "right", "up", "down", the dialog's keys) jog the head, "fine" and
// "coarse" choose the 0.1 mm and 0.5 mm step, "ok" (or an empty line)
// confirms the mark, "cancel" or the end of input cancels. The position is
// printed on `out` after every command.
void RunTerminalAlignment(CIntersectAlignement& alignment, std::istream& in, std::FILE* out);

}  // namespace plotsend
