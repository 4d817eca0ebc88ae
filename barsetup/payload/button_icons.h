// The nine button icon files that lie beside the installer, made from the
// toolbar's button pictures: each has its 16 x 16 and its 24 x 24 image.
#pragma once

#include <string>
#include <vector>

#include "common/icons/picture.h"

namespace barsetup {

struct ButtonIcon {
  std::string fileName;              // a name of IconFiles
  std::vector<icons::Image> images;  // 16 x 16, then 24 x 24
};

// The icons in IconFiles order. A button without a 24-pixel picture gets its
// 16-pixel picture scaled by nearest neighbour. False, with the reason, when
// a name has no button or a picture cannot be read.
bool ButtonIcons(std::vector<ButtonIcon>& out, std::string& error);

}  // namespace barsetup
