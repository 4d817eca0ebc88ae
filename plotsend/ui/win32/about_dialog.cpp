// Placeholder: the About box is being written.
#include "about_dialog.h"

namespace plotsend::win32 {
void RunAboutBox(HWND) {}
}  // namespace plotsend::win32
