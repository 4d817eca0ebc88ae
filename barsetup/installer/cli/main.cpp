// barsetup: the terminal installer. Puts the toolbar into, or takes it out of,
// every CorelDRAW of a wine prefix ($WINEPREFIX, else ~/.wine): its user.reg
// is the registry, its dosdevices/ the drives, p7zip's 7z on the PATH the
// archiver; the final message goes to standard output.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "barsetup_app.h"
#include "path_text.h"
#include "posix_child_process.h"
#include "posix_file_system.h"
#include "stdout_message.h"
#include "thread_sleep.h"
#include "toolbar_operations.h"
#include "wine_prefix.h"
#include "wine_registry.h"

namespace {

// The directory of this program, with its trailing slash: the source files
// (icons, macro projects) lie there.
std::string ProgramDirectory(const char* argv0) {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  path = n > 0 ? path.substr(0, static_cast<size_t>(n)) : std::string(argv0);
  return barsetup::ModuleDirectory(path);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace barsetup;
  const WinePrefix prefix(WinePrefix::DefaultRoot());
  WineRegistry registry;
  const std::vector<std::string> args(argv + 1, argv + argc);
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
  CBarsetupApp app(InstallerPorts{registry, files, nullptr, child, message, sleep}, ProgramDirectory(argv[0]),
                   std::move(toolbar));
  return app.InitInstance(args);
}
