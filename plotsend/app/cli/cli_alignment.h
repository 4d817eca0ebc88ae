#pragma once
// The mark alignment and the origin prompt in a terminal, driven by keys.
#include <cstdio>

#include "app/cli/command_input.h"
#include "ui/intersect_alignment.h"

namespace plotsend {

// Runs the alignment until it ends: the arrow keys jog the head as the
// dialog's keys do, "s" switches the step between 0.5 mm and 0.1 mm, Enter
// confirms the mark, Esc (or the end of input) cancels. A line typed or
// piped is one command instead: x+ x- y+ y- jog, fine and coarse choose the
// step, ok confirms the mark, cancel cancels. The position is printed on
// `out` after every key or command.
void RunTerminalAlignment(CIntersectAlignement& alignment, CommandInput& input, std::FILE* out);

// Enter or the line ok: OK; Esc, the line cancel or the end of input: Cancel.
bool AskTerminalOkCancel(const char* text, CommandInput& input, std::FILE* out);

}  // namespace plotsend
