// barsetup: the terminal installer. Puts the toolbar into, or takes it out of,
// every CorelDRAW of a wine prefix ($WINEPREFIX, else ~/.wine): its user.reg
// is the registry, its dosdevices/ the drives, p7zip's 7z on the PATH the
// archiver; the final message goes to standard output. It cannot see
// CorelDRAW running, so it does not ask to close it.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "installer/barsetup_app.h"
#include "installer/command_line.h"
#include "installer/path_text.h"
#include "installer/posix/posix_child_process.h"
#include "installer/posix/posix_file_system.h"
#include "installer/posix/stdout_message.h"
#include "installer/posix/wine_prefix.h"
#include "installer/posix/wine_registry.h"
#include "installer/thread_sleep.h"
#include "installer/toolbar_operations.h"

namespace {

constexpr const char kUsage[] =
    "usage: barsetup /RegCdrPlugin [/Q5] [/ToolBarName NAME]\n"
    "       barsetup /UnRegCdrPlugin [/Q5]\n"
    "Puts the toolbar into, or takes it out of, every CorelDRAW of the wine prefix\n"
    "$WINEPREFIX (else ~/.wine). Switches are spelt exactly so, capitals included,\n"
    "with / or -; NAME comes last. Close CorelDRAW first: this program cannot see\n"
    "whether it runs.\n";

// The directory of this program, with its trailing slash: the source files
// (icons, macro projects) lie there.
std::string ProgramDirectory(const char* argv0) {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  path = n > 0 ? path.substr(0, static_cast<size_t>(n)) : std::string(argv0);
  return barsetup::ModuleDirectory(path);
}

int Run(const std::vector<std::string>& args, const char* argv0) {
  using namespace barsetup;
  const std::string unknown = UnknownSwitch(args);
  if (unknown == "--help" || unknown == "-h" || unknown == "/?" || unknown == "-?") {
    std::fputs(kUsage, stdout);
    return 2;
  }
  if (!unknown.empty()) {
    std::fprintf(stderr, "barsetup: unknown switch %s\n%s", unknown.c_str(), kUsage);
    return 2;
  }
  const WinePrefix prefix(WinePrefix::DefaultRoot());
  WineRegistry registry;
  if (!args.empty() && !registry.LoadFile(prefix.UserRegistryFile())) {
    std::fprintf(stderr, "barsetup: cannot read %s; no CorelDRAW version can be found\n",
                 prefix.UserRegistryFile().c_str());
  }
  PosixFileSystem files(prefix);
  PosixChildProcess child(prefix);
  StdoutMessage message;
  ThreadSleep sleep;
  ToolbarOperations toolbar = WorkspaceToolbarOperations(
      files, [&prefix](const std::string& path, std::string* native) { return prefix.ToNative(path, native); });
  CBarsetupApp app(InstallerPorts{registry, files, nullptr, child, message, sleep}, ProgramDirectory(argv0),
                   std::move(toolbar));
  return app.InitInstance(args);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc), argv[0]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "barsetup: %s\n", e.what());
    return 1;
  }
}
