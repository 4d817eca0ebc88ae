#include "common/icons/icon_set.h"

#include "common/icons/plotsend_icon.h"

namespace icons {

std::vector<IconFile> IconSet() { return {{"plotsend.ico", PlotsendIcon()}}; }

}  // namespace icons
