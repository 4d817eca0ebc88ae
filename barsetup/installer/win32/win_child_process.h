// The child process port over CreateProcessW with an anonymous pipe for the
// child's standard output and error.
#pragma once

#include "installer/installer_ports.h"

namespace barsetup {

class WinChildProcess : public ChildProcessPort {
 public:
  // The command line's first word is found by the system's search, which
  // begins in the directory of the running program. The window is hidden.
  ChildRun Run(const std::string& commandLine) override;
};

}  // namespace barsetup
