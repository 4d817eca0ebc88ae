#pragma once
// plotmark's command line.
#include <optional>
#include <string>
#include <vector>

#include "app/make_job.h"

namespace plotmark {

struct CliOptions {
  JobRequest request;
  std::optional<std::string> workDir;
  bool start = false;
  bool help = false;
};

// argv[1..]. nullopt with `error` set for a malformed command line.
std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, std::string& error);

}  // namespace plotmark
