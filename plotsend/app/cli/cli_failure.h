#pragma once
// How the terminal stops a run: one line on stderr and an exit status.
#include <string>

#include "app/plotsend_dlg.h"

namespace plotsend {

// Prints "plotsend: MESSAGE" on stderr and returns `status`.
int Fail(const std::string& message, int status);

// Says why the job cannot be output and returns the exit status; 0 when
// nothing known stands in the way (before the job is prepared, only its
// mark values are known).
int RefuseOutput(const CPlotsendDlg& dlg, Language language);

}  // namespace plotsend
