// Barsetup.exe: no window and no message loop. The command line says
// whether to install or remove the toolbar; one message box tells the
// result. The exit status is always 0.
#include "win_api.h"

#include "barsetup_app.h"
#include "path_text.h"
#include "program_file.h"
#include "thread_sleep.h"
#include "toolbar_operations.h"
#include "win_child_process.h"
#include "win_file_system.h"
#include "win_message.h"
#include "win_process_list.h"
#include "win_registry.h"
#include "win_resources.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace barsetup;
  const std::string programPath = ProgramPath();
  WinRegistry registry;
  WinFileSystem files;
  WinResources resources;
  WinChildProcess child;
  WinMessage message(ProgramTitle(programPath));
  ThreadSleep sleep;
  WinProcessList processes;
  InstallerPorts ports{registry, files, &resources, child, message, sleep, &processes};
  // The XML component opens the installer's paths as they are.
  PathMapper samePath = [](const std::string& path, std::string* mapped) {
    *mapped = path;
    return true;
  };
  CBarsetupApp app(ports, ModuleDirectory(programPath), WorkspaceToolbarOperations(files, samePath));
  return app.InitInstance(CommandLineArguments());
}
