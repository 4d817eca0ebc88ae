// The installer's application: reads the command line and runs the workspace
// pass and the macro pass, installing or removing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "installer/command_line.h"
#include "installer/installer_ports.h"

namespace barsetup {

// The toolbar operations of the workspace editing, by XML path (Windows form),
// major version, variant and toolbar name. Each returns why the file could
// not be edited, or nothing when it was edited or had nothing to change.
struct ToolbarOperations {
  using Edit = std::function<std::string(const std::string& xmlPath, int version, bool variantQ5,
                                         const std::string& toolbarName)>;
  Edit add;
  Edit remove;
};

class CBarsetupApp {
 public:
  // programDir: the directory of the running installer, with its trailing
  // separator; the source files (icons, macro projects) lie there.
  CBarsetupApp(InstallerPorts ports, std::string programDir, ToolbarOperations toolbar);

  // Parses args (without the program name), then installs when asked to,
  // else removes when asked to, else does nothing. Returns the exit status,
  // always 0.
  int InitInstance(const std::vector<std::string>& args);

  const CMC_CommandLineInfo& CommandLineInfo() const { return cmdInfo_; }

 private:
  void Run(bool install);

  InstallerPorts ports_;
  std::string programDir_;
  ToolbarOperations toolbar_;
  CMC_CommandLineInfo cmdInfo_;
};

}  // namespace barsetup
