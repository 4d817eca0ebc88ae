#include "installer/posix/windows_command_line.h"

namespace barsetup {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t SkipBlanks(std::string_view line, size_t at) {
  while (at < line.size() && IsBlank(line[at])) ++at;
  return at;
}

size_t ProgramWord(std::string_view line, size_t at, std::string* word) {
  bool quoted = false;
  for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
    if (line[at] == '"') {
      quoted = !quoted;
    } else {
      word->push_back(line[at]);
    }
  }
  return at;
}

size_t Argument(std::string_view line, size_t at, std::string* arg) {
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    size_t slashes = 0;
    while (at < line.size() && line[at] == '\\') {
      ++slashes;
      ++at;
    }
    if (at < line.size() && line[at] == '"') {
      arg->append(slashes / 2, '\\');
      if (slashes % 2 == 1) {
        arg->push_back('"');
      } else {
        quoted = !quoted;
      }
      ++at;
    } else {
      arg->append(slashes, '\\');
      if (at < line.size() && (quoted || !IsBlank(line[at]))) arg->push_back(line[at++]);
    }
  }
  return at;
}

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t at = SkipBlanks(line, 0);
  if (at >= line.size()) return args;
  args.emplace_back();
  at = SkipBlanks(line, ProgramWord(line, at, &args.back()));
  while (at < line.size()) {
    args.emplace_back();
    at = SkipBlanks(line, Argument(line, at, &args.back()));
  }
  return args;
}

}  // namespace barsetup
