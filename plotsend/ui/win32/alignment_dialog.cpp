// Placeholder: the alignment dialog is being written.
#include "alignment_dialog.h"

namespace plotsend::win32 {
void RunAlignmentDialog(HWND, CIntersectAlignement& alignment) { alignment.OnCancel(); }
}  // namespace plotsend::win32
