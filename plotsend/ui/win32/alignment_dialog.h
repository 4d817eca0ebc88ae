#pragma once
// The "Intersect Alignement" dialog (template 130) over CIntersectAlignement.
#include <windows.h>

#include "intersect_alignment.h"

namespace plotsend::win32 {

// Runs the alignment modally over `owner`; returns when it has ended (the
// logic then holds the marks and the cancelled flag).
void RunAlignmentDialog(HWND owner, CIntersectAlignement& alignment);

}  // namespace plotsend::win32
