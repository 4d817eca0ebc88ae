#pragma once
// The work directory Plotsend takes its job from.
#include <string>

namespace plotmark {

// Windows: c:\PlotaraCdr\ ; elsewhere $PLOTARA_WORKDIR when set and not
// empty, else PlotaraCdr/ in the home directory. With a trailing separator.
std::string DefaultWorkDir();

// `dir` with a trailing separator.
std::string WithSeparator(std::string dir);

// Whether two directory names with trailing separators are the same, as
// Windows compares them: ASCII letters in either case, / or \.
bool SameDirectoryName(const std::string& a, const std::string& b);

}  // namespace plotmark
