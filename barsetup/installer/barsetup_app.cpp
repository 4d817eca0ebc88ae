#include "installer/barsetup_app.h"

#include <utility>

#include "installer/installer_texts.h"
#include "installer/macro_pass.h"
#include "installer/workspace_pass.h"

namespace barsetup {
namespace {

constexpr const char* kCorelDrawImage = "CorelDRW.exe";

// CorelDRAW writes its workspace back when it exits, so an edit made while it
// runs would be lost. Asks until it is closed; false when the user cancels.
bool CorelDrawClosed(InstallerPorts& ports) {
  if (ports.processes == nullptr) return true;
  while (ports.processes->IsRunning(kCorelDrawImage)) {
    if (!ports.message.AskRetry(kCorelDrawRunningText)) return false;
  }
  return true;
}

}  // namespace

CBarsetupApp::CBarsetupApp(InstallerPorts ports, std::string programDir, ToolbarOperations toolbar)
    : ports_(ports), programDir_(std::move(programDir)), toolbar_(std::move(toolbar)) {}

int CBarsetupApp::InitInstance(const std::vector<std::string>& args) {
  ParseCommandLine(args, cmdInfo_);
  if (cmdInfo_.m_bRegister) {
    Run(true);
  } else if (cmdInfo_.m_bUnregister) {
    Run(false);
  }
  return 0;
}

void CBarsetupApp::Run(bool install) {
  if (!CorelDrawClosed(ports_)) {
    ports_.message.Show(install ? kInstallCancelledText : kUninstallCancelledText, MessageStyle::Result);
    return;
  }
  const ToolbarOperations::Edit& edit = install ? toolbar_.add : toolbar_.remove;
  const bool q5 = cmdInfo_.m_bVariantQ5;
  const std::string name = cmdInfo_.m_strToolBarName;
  ToolbarHandler handler = [&edit, q5, name](const std::string& xmlPath, int version) {
    return edit ? edit(xmlPath, version, q5, name) : std::string();
  };
  std::vector<std::string> notes;
  {
    WorkspacePass pass(ports_, programDir_, std::move(handler), notes);
    pass.UpdateWorkspaces();
  }
  InstallMacros(ports_, programDir_, install, q5, notes);
}

}  // namespace barsetup
