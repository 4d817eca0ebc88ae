#pragma once
// Names of the work directory Plotsend takes its job from (the default one
// is plotara::DefaultWorkDir, shared with Plotsend).
#include <string>

namespace plotmark {

// `dir` with a trailing separator.
std::string WithSeparator(std::string dir);

// Whether two directory names with trailing separators are the same, as
// Windows compares them: ASCII letters in either case, / or \.
bool SameDirectoryName(const std::string& a, const std::string& b);

}  // namespace plotmark
