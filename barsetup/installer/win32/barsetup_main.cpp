// Barsetup.exe: no window and no message loop. The command line says
// whether to install or remove the toolbar; one message box tells the
// result. The exit status is always 0.
#include "installer/win32/win_api.h"

#include "installer/barsetup_app.h"
#include "installer/path_text.h"
#include "installer/thread_sleep.h"
#include "installer/toolbar_operations.h"
#include "installer/win32/program_file.h"
#include "installer/win32/win_child_process.h"
#include "installer/win32/win_file_system.h"
#include "installer/win32/win_message.h"
#include "installer/win32/win_process_list.h"
#include "installer/win32/win_registry.h"
#include "installer/win32/win_resources.h"

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
