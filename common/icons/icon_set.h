#pragma once
// The icon files the build writes, each a file name and its pictures.
#include <string>
#include <vector>

#include "common/icons/picture.h"

namespace icons {

struct IconFile {
  std::string name;
  std::vector<CharPicture> pictures;
};

std::vector<IconFile> IconSet();

}  // namespace icons
