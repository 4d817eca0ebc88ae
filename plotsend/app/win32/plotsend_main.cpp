// Plotsend.exe: wires the dialog's logic to the Win32 adapters (private
// profile, links, the work directory c:\PlotaraCdr\) and runs the main
// dialog modally; the program ends with it.
#include <windows.h>
#include <commctrl.h>

#include "link_port.h"
#include "main_dialog.h"
#include "profile_port.h"
#include "texts.h"
#include "work_dir.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The progress bars, the IP address control and the standard controls;
  // the bar classes bring the About box's tooltip.
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  const plotsend::Language language = plotsend::LanguageFromLangId(GetSystemDefaultLangID());
  const auto profile = plotsend::MakeProfilePort();
  const auto link = plotsend::MakeLinkPort();  // holds Winsock 2.2 for its lifetime
  plotsend::win32::MainDialog dialog(*profile, *link, plotsend::DefaultWorkDir(), language);
  // -1: the dialog could not be made from its template.
  return dialog.RunModal(nullptr) == -1 ? 1 : 0;
}
