// The workspace pass: for every version, find the workspace last used, make
// its UI configuration a plain XML file, have the toolbar added or removed in
// it, and put the result back where CorelDRAW reads it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "installer/archiver.h"
#include "installer/installer_ports.h"
#include "installer/version_table.h"

namespace barsetup {

// One toolbar edit of one XML file (Windows form path) for a major version.
// Returns why the file could not be edited; empty when it was, or when there
// was nothing to change.
using ToolbarHandler = std::function<std::string(const std::string& xmlPath, int version)>;

class WorkspacePass {
 public:
  // programDir: the installer's directory, with its trailing backslash.
  // notes receives a line for every workspace that was left unchanged.
  WorkspacePass(InstallerPorts& ports, std::string programDir, ToolbarHandler handler, std::vector<std::string>& notes);

  // Walks the version table in ascending order, then deletes the source icons.
  void UpdateWorkspaces();

 private:
  void UpdateDirectoryWorkspace(const VersionRow& row, const std::string& value);
  void UpdatePackage(const VersionRow& row, const std::string& package);
  bool PrepareUnpackDirectory(const std::string& package, std::string* dir);
  void RepackSafely(const std::string& package, const std::string& dir);

  InstallerPorts& ports_;
  std::string programDir_;
  ToolbarHandler handler_;
  std::vector<std::string>& notes_;
  Archiver archiver_;
  int CurrentVersion = 0;
};

}  // namespace barsetup
