#pragma once
// The About box (template 100) with its hyperlink (control 1023).
#include <windows.h>

namespace plotsend::win32 {

// Shows the About box modally over `owner`.
void RunAboutBox(HWND owner);

}  // namespace plotsend::win32
