// The resource port over the running program's own module.
#pragma once

#include "installer/installer_ports.h"

namespace barsetup {

class WinResources : public ResourcePort {
 public:
  // Custom type by name, resource by numeric id.
  bool Load(const std::string& type, int id, std::vector<unsigned char>* bytes, std::string* errorText) override;
};

}  // namespace barsetup
