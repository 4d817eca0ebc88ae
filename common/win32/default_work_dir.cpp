// Work directory on Windows: the fixed directory the macros write into.
#include "common/default_work_dir.h"

namespace plotara {

std::string DefaultWorkDir() { return "c:\\PlotaraCdr\\"; }

}  // namespace plotara
