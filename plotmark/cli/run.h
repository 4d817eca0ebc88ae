#pragma once
// plotmark's command: the arguments (UTF-8, without the program name) to
// the job maker, the summary to stdout and refusals to stderr. The exit
// status: 0 done, 1 refused, 2 a malformed command line.
#include <string>
#include <vector>

#include "app/ports.h"

namespace plotmark {

int RunPlotmark(const std::vector<std::string>& args, SheetRenderer& renderer);

}  // namespace plotmark
