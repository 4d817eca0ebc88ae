// The process list port over a Toolhelp snapshot of the system's processes.
#pragma once

#include "installer/installer_ports.h"

namespace barsetup {

class WinProcessList : public ProcessListPort {
 public:
  bool IsRunning(const std::string& imageName) override;
};

}  // namespace barsetup
