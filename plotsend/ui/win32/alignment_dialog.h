#pragma once
// The "Intersect Alignement" dialog (template 130) over CIntersectAlignement.
// While it has the focus, the arrow keys jog the head (Left "+ X", Right
// "- X", Up "+ Y", Down "- Y") and Enter confirms the mark, whichever of its
// controls has the focus; Esc and the close box cancel.
#include <windows.h>

#include "ui/intersect_alignment.h"

namespace plotsend::win32 {

// Runs the alignment modally over `owner`; returns when it has ended (the
// logic then holds the marks and the cancelled flag). A dialog that cannot
// be made counts as cancelled.
void RunAlignmentDialog(HWND owner, CIntersectAlignement& alignment);

}  // namespace plotsend::win32
