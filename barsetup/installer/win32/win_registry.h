// The registry port over the wide-character registry functions of
// HKEY_CURRENT_USER, read only.
#pragma once

#include "installer/installer_ports.h"

namespace barsetup {

class WinRegistry : public RegistryPort {
 public:
  // REG_SZ and REG_EXPAND_SZ values, as stored (nothing is expanded).
  bool ReadString(const std::string& keyPath, const std::string& valueName, std::string* value) override;
};

}  // namespace barsetup
