// Plotsend.exe: wires the dialog's logic to the Win32 adapters (private
// profile, links, the work directory c:\PlotaraCdr\) and runs the main
// dialog modally; the program ends with it.
#include <windows.h>
#include <commctrl.h>

#include "app/profile_port.h"
#include "app/texts.h"
#include "app/win/main_dialog.h"
#include "app/win/running_instance.h"
#include "app/work_dir.h"
#include "app/work_files.h"
#include "common/work_lock.h"
#include "link/link_port.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The progress bars, the IP address control and the standard controls;
  // the bar classes bring the About box's tooltip.
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  const plotsend::Language language = plotsend::LanguageFromLangId(GetSystemDefaultLangID());
  const plotsend::WorkDir workDir = plotsend::DefaultWorkDir();
  // One run per work directory, held to the end; a second run changes no
  // file. Where no lock can be taken the run goes on unguarded.
  const plotara::WorkLock lock(workDir.Dir());
  if (lock.GetState() == plotara::WorkLock::State::Busy) {
    plotsend::win32::PointAtRunningInstance(lock.HolderProcessId(),
                                            plotsend::Text(plotsend::TextId::JobAlreadyHandled, language));
    return 1;
  }
  if (lock.GetState() == plotara::WorkLock::State::Held) plotsend::RemoveStaleTempFiles(workDir);

  const auto profile = plotsend::MakeProfilePort();
  const auto link = plotsend::MakeLinkPort();  // holds Winsock 2.2 for its lifetime
  plotsend::win32::MainDialog dialog(*profile, *link, workDir, language);
  // -1: the dialog could not be made from its template.
  return dialog.RunModal(nullptr) == -1 ? 1 : 0;
}
