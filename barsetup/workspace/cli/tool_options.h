// Command line of barsetup-xml:
//   barsetup-xml add|remove [--q5] --version N [--name TOOLBARNAME] FILE
#pragma once

#include <string>
#include <vector>

namespace barsetup {

struct ToolOptions {
  bool add = false;  // add, else remove
  bool q5 = false;
  int version = 0;   // 12 to 22; 0 when not given (removal only)
  std::string name;  // toolbar name, add only
  bool nameGiven = false;
  std::string file;
  bool help = false;
};

inline constexpr int kFirstVersion = 12;
inline constexpr int kLastVersion = 22;

// False with *error set for a command line that is not of the form above.
bool ParseToolOptions(const std::vector<std::string>& args, ToolOptions* options, std::string* error);

extern const char kToolUsage[];

}  // namespace barsetup
