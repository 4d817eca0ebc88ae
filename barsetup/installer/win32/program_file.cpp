#include "installer/win32/program_file.h"

#include "installer/win32/win_api.h"
#include <shellapi.h>

#include "common/win32/wide_text.h"

namespace barsetup {

std::string ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A name that filled the buffer may have been cut.
    if (length < path.size()) {
      path.resize(length);
      return plotara::ToUtf8(path);
    }
    path.resize(path.size() * 2);
  }
}

std::string ProgramTitle(const std::string& programPath) {
  const size_t slash = programPath.find_last_of("\\/");
  std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::vector<std::string> CommandLineArguments() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  if (words == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(plotara::ToUtf8(words[i]));
  LocalFree(words);
  return args;
}

}  // namespace barsetup
