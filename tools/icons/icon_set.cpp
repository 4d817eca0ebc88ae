#include "icon_set.h"

#include "plotsend_icon.h"

namespace icons {

std::vector<IconFile> IconSet() { return {{"plotsend.ico", PlotsendIcon()}}; }

}  // namespace icons
