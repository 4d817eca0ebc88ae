// The CorelDRAW versions the installer serves, in ascending order, with their
// registry keys under HKEY_CURRENT_USER and the labels of the final message.
#pragma once

#include <array>
#include <string>

namespace barsetup {

struct VersionRow {
  int version;                 // major version, 12 to 22
  std::string productKey;      // holds the workspace value
  std::string workspaceValue;  // "LastWorkspaceUsed" or "LastCorelWorkspaceUsed"
  bool packaged;               // the workspace is a ".cdws" package (17 and later)
  std::string directoriesKey;  // holds "EmbedObjDir"
  std::string label;           // appended to the final message
};

inline constexpr int kVersionCount = 11;

// Rows for 12 to 22. The directories keys of 12.0 to 14.0 are the product key
// followed by "\Application Preferences\Directories", like all the others.
const std::array<VersionRow, kVersionCount>& VersionTable();

}  // namespace barsetup
