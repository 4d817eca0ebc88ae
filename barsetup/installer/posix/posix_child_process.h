// The child process port over posix_spawn and a pipe. The Windows command
// line is split by the runtime's rules; a bare "7z.exe" is p7zip's 7z found
// on the PATH; arguments that are Windows paths (also after "-o") are mapped
// through the wine prefix.
#pragma once

#include <string>
#include <vector>

#include "installer/installer_ports.h"
#include "installer/posix/wine_prefix.h"

namespace barsetup {

class PosixChildProcess : public ChildProcessPort {
 public:
  explicit PosixChildProcess(const WinePrefix& prefix) : prefix_(prefix) {}

  ChildRun Run(const std::string& commandLine) override;

  // The program and arguments that Run starts for commandLine; the first
  // element is searched on the PATH when it has no slash.
  std::vector<std::string> NativeArguments(const std::string& commandLine) const;

 private:
  const WinePrefix& prefix_;
};

}  // namespace barsetup
