// Work directory on Windows: the fixed directory the macros write into.
#include "work_dir.h"

namespace plotsend {

WorkDir DefaultWorkDir() { return WorkDir("c:\\PlotaraCdr\\"); }

}  // namespace plotsend
