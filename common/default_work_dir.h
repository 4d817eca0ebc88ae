#pragma once
// The work directory the programs meet in when none is given: Windows
// c:\PlotaraCdr\ ; elsewhere $PLOTARA_WORKDIR when set and not empty, else
// PlotaraCdr/ in the home directory. With a trailing separator.
#include <string>

namespace plotara {

std::string DefaultWorkDir();

}  // namespace plotara
