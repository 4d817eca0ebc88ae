// The installer's toolbar operations over the workspace component's file
// passes.
#pragma once

#include <functional>
#include <string>

#include "installer/barsetup_app.h"
#include "installer/installer_ports.h"

namespace barsetup {

// Turns an installer path (Windows form) into the path the XML component
// opens; false when it cannot.
using PathMapper = std::function<bool(const std::string& path, std::string* mapped)>;

// Adds or removes the toolbar of the chosen variant in one file. A file that
// does not exist has nothing to change (as after an unpack that gave none).
// files must outlive the result.
ToolbarOperations WorkspaceToolbarOperations(FileSystemPort& files, PathMapper mapper);

}  // namespace barsetup
