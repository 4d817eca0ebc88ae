// plotmark.exe: the arguments as UTF-16, so file names outside the ANSI code
// page arrive whole; the console shows the UTF-8 output while it runs. The
// sheet is written as SVG only.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/run.h"
#include "common/win32/wide_text.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(plotara::ToUtf8(argv[i]));
  const UINT codePage = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  plotmark::NoSheetRenderer renderer;
  const int status = plotmark::RunPlotmark(args, renderer);
  std::fflush(stdout);
  std::fflush(stderr);
  if (codePage != 0) SetConsoleOutputCP(codePage);
  return status;
}
