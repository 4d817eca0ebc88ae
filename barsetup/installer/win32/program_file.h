// The running program's own file and its command line, in UTF-8.
#pragma once

#include <string>
#include <vector>

namespace barsetup {

// The full path of the program file, however long.
std::string ProgramPath();

// The program file's name without directory and extension: the title of
// the program's message boxes.
std::string ProgramTitle(const std::string& programPath);

// The arguments after the program name, split by CommandLineToArgvW.
std::vector<std::string> CommandLineArguments();

}  // namespace barsetup
