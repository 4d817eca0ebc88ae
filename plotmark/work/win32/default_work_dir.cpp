// Work directory on Windows: the fixed directory Plotsend reads.
#include "work/work_dir.h"

namespace plotmark {

std::string DefaultWorkDir() { return "c:\\PlotaraCdr\\"; }

}  // namespace plotmark
