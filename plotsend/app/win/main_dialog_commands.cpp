// The main window's control commands. Each handler fetches the controls
// into the fields, runs the logic's handler and puts the fields back. A
// field whose text is no value keeps its value and its text: an action
// (Start, U Disk File, the WiFi test) then does not run and the caret goes
// to that field; the other handlers go on with the fields that are values.
#include "app/control_ids.h"
#include "app/win/main_dialog.h"
#include "ui/win32/about_dialog.h"

namespace plotsend::win32 {

bool MainDialog::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case control::kPortList:
      if (code == CBN_SELCHANGE) OnPortSelChanged();
      return true;
    case control::kClose: OnCloseButton(); return true;
    case control::kCancel: dlg_.OnCancel(); return true;
    case control::kStart: OnStartClicked(); return true;
    case control::kUDiskFile: OnUDiskFileClicked(); return true;
    case control::kIsOffset: OnFieldHandler(&CPlotsendDlg::OnOffsetClicked); return true;
    case control::kIsClose: OnFieldHandler(&CPlotsendDlg::OnCloseClicked); return true;
    case control::kIsDashedLine: OnFieldHandler(&CPlotsendDlg::OnDashedLineClicked); return true;
    case control::kSortPaths: OnFieldHandler(&CPlotsendDlg::OnSortPathsClicked); return true;
    case control::kDefaultIp: OnFieldHandler(&CPlotsendDlg::OnDefaultIp); return true;
    case control::kWifiTest: OnWifiTestClicked(); return true;
    case kAboutButton: RunAboutBox(Handle()); return true;
    case control::kFrom:
    case control::kTo:
      if (code == EN_CHANGE) OnSectionChanged(id);
      return true;
    case IDOK: return true;  // Enter presses the default button (Start); nothing ends with OK here
    default: return DialogWindow::OnCommand(id, code, control);  // IDCANCEL: Esc and the close box
  }
}

void MainDialog::OnFieldHandler(void (CPlotsendDlg::*handler)()) {
  int keep = Fetch();
  (dlg_.*handler)();
  // Default IP sets the TCP port: its text is then the new value.
  if (handler == &CPlotsendDlg::OnDefaultIp && keep == control::kTcpPort) keep = 0;
  Put(keep);
}

void MainDialog::OnPortSelChanged() {
  const int keep = Fetch();
  const LRESULT selected = SendControl(control::kPortList, CB_GETCURSEL);
  if (selected >= 0 && selected <= 255) dlg_.Fields().settings.PortSel_i = static_cast<uint8_t>(selected);
  dlg_.OnPortSelChanged();
  Put(keep);
}

// From and To change with every key: a text that is no section number yet
// (empty while typing, or above 255) waits for the next key.
void MainDialog::OnSectionChanged(int id) {
  if (putting_ || !dlg_.JobReady()) return;
  const int bad = Fetch();
  if (bad == control::kFrom || bad == control::kTo) return;
  if (id == control::kFrom) dlg_.OnFromChanged();
  else dlg_.OnToChanged();
  Put(bad);
}

// Close saves the settings and ends with Cancel; a field that is no value
// keeps the value it had.
void MainDialog::OnCloseButton() {
  Fetch();
  dlg_.SaveSettings();
  End(IDCANCEL);
}

void MainDialog::OnStartClicked() {
  if (const int bad = Fetch(); bad != 0) return RejectInput(bad);
  dlg_.OnStart();
  Put();
}

// While a worker prepares or sends the job the button does nothing, and the
// controls are not fetched: no field is pointed at for an export that does
// not run.
void MainDialog::OnUDiskFileClicked() {
  if (dlg_.CanOutput() == CPlotsendDlg::JobOutput::Busy) return;
  if (const int bad = Fetch(); bad != 0) return RejectInput(bad);
  dlg_.OnUDiskFile();
  Put();
}

void MainDialog::OnWifiTestClicked() {
  if (const int bad = Fetch(); bad != 0) return RejectInput(bad);
  dlg_.OnWifiTest();
  Put();
}

}  // namespace plotsend::win32
