// A wine prefix as the terminal installer's Windows: drive letters map through
// its dosdevices/ folder, and its user.reg holds the current user's registry.
#pragma once

#include <string>

namespace barsetup {

class WinePrefix {
 public:
  // root: the prefix directory, without trailing slash.
  explicit WinePrefix(std::string root);

  // $WINEPREFIX, else ~/.wine.
  static std::string DefaultRoot();

  const std::string& Root() const { return root_; }
  std::string UserRegistryFile() const { return root_ + "/user.reg"; }

  // The native path of a Windows path "X:\..." (through dosdevices/x:, with
  // "." and ".." read as Windows reads them, never above the drive's root) or
  // of a native path "/..."; backslashes become slashes. Each component that
  // does not exist with its own spelling takes the spelling of an entry of its
  // directory that differs only in ASCII case, as Windows would find it.
  // False for any other form (relative, UNC).
  bool ToNative(const std::string& path, std::string* native) const;

 private:
  std::string root_;
};

}  // namespace barsetup
