#pragma once
// The mark alignment and the origin prompt in a terminal, driven by keys.
#include <cstdio>

#include "intersect_alignment.h"
#include "terminal_keys.h"

namespace plotsend {

// Runs the alignment until it ends: the arrow keys jog the head as the
// dialog's keys do, "s" switches the step between 0.5 mm and 0.1 mm, Enter
// confirms the mark, Esc (or the end of input) cancels. The position is
// printed on `out` after every key.
void RunTerminalAlignment(CIntersectAlignement& alignment, TerminalKeys& keys, std::FILE* out);

// Enter: OK; Esc or the end of input: Cancel.
bool AskTerminalOkCancel(const char* text, TerminalKeys& keys, std::FILE* out);

}  // namespace plotsend
