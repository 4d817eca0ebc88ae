#pragma once
// Whether a running Plotsend holds the work directory. Plotsend keeps
// plotara.lock in it locked for as long as it runs.
#include <string>

namespace plotmark {

inline constexpr const char* kWorkLockName = "plotara.lock";

// `dir` ends with a separator. False when there is no lock file or nobody
// holds it.
bool PlotsendHoldsWorkDir(const std::string& dir);

}  // namespace plotmark
