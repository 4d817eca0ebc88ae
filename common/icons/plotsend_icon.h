#pragma once
// Plotsend's application icon: a blade in its holder cutting a curve on a
// sheet of vinyl, drawn by hand at 16, 24, 32 and 48 pixels.
#include <vector>

#include "common/icons/picture.h"

namespace icons {

std::vector<CharPicture> PlotsendIcon();

}  // namespace icons
