#pragma once
// plotmark's command line.
#include <optional>
#include <string>
#include <vector>

#include "app/make_job.h"
#include "app/texts.h"

namespace plotmark {

struct CliOptions {
  JobRequest request;
  std::optional<std::string> workDir;
  bool start = false;
  bool help = false;
};

// What is wrong with a command line, as a text of the table and its arguments.
struct CliError {
  TextId id = TextId::OptNoDesign;
  std::string arg1, arg2;
};

// argv[1..]. nullopt with `error` set for a malformed command line.
std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, CliError& error);

}  // namespace plotmark
