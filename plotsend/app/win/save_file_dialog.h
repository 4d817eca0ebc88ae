#pragma once
// The U Disk File save dialog: the system's wide-character save-file dialog,
// so that a folder or file name in any script is kept.
#include <windows.h>

#include <optional>
#include <string>

namespace plotsend::win32 {

// Default extension "plt", the filter "PLT Files(*.plt)|*.plt|", read-only
// hidden and a prompt before overwriting; `proposedName` is the initial file
// name. The chosen path in UTF-8, or nothing when the user cancelled (or the
// dialog could not be shown).
std::optional<std::string> ChooseSaveFile(HWND owner, const std::string& proposedName);

}  // namespace plotsend::win32
