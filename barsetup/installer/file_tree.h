// File operations of the workspace pass, over the file system port.
#pragma once

#include <string>

#include "installer/installer_ports.h"

namespace barsetup {

// Deletes everything under path, then path itself; links are removed, never
// followed. Returns whether the directory itself was removed.
bool DeleteDirectoryTree(FileSystemPort& files, const std::string& path);

// Copies the nine icons from sourceDir (ends with a backslash) into
// unpackDir + "\content\icons", created when missing. Failures are ignored.
void CopyIcons(FileSystemPort& files, const std::string& sourceDir, const std::string& unpackDir);

// Deletes the nine icons from dir (ends with a backslash).
void DeleteSourceIcons(FileSystemPort& files, const std::string& dir);

// Keeps a copy of path as path + ".bak" before its first change. An existing
// backup is never replaced; a missing path needs none. False only when a
// backup was needed and could not be written.
bool KeepBackup(FileSystemPort& files, const std::string& path);

}  // namespace barsetup
