// Splits a Windows command line into its arguments as the C runtime does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace barsetup {

// The first word is the program: up to the first space or tab, or quoted.
// The others follow the runtime's rules: spaces and tabs separate outside
// quotes, a quote toggles quoting, 2n backslashes before a quote are n
// backslashes, 2n+1 are n and a literal quote; other backslashes are kept.
std::vector<std::string> SplitWindowsCommandLine(std::string_view line);

}  // namespace barsetup
