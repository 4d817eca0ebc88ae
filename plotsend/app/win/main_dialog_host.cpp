// What the dialog's logic asks of the main window (DialogHost), and the
// hand-over of the workers' status and progress to the user-interface thread.
#include "app/win/main_dialog.h"

#include <commctrl.h>

#include "app/control_ids.h"
#include "app/win/save_file_dialog.h"
#include "app/win/wait_painting.h"
#include "ui/win32/alignment_dialog.h"

namespace plotsend::win32 {
namespace {

// The framework's title for its message boxes: the program's name.
constexpr wchar_t kBoxTitle[] = L"Plotsend";

UINT IconOf(DialogHost::MessageKind kind) {
  return kind == DialogHost::MessageKind::Error ? MB_ICONERROR : MB_ICONEXCLAMATION;
}

}  // namespace

void MainDialog::MessageBox(const std::string& text, MessageKind kind) {
  if (OnUiThread()) {
    MessageBoxW(Handle(), Widen(text).c_str(), kBoxTitle, MB_OK | IconOf(kind));
    return;
  }
  // A box owned by the window would make this worker wait for the
  // user-interface thread (which may be joining it); an unowned one in front
  // only waits for the user.
  MessageBoxW(nullptr, Widen(text).c_str(), kBoxTitle, MB_OK | IconOf(kind) | MB_TOPMOST | MB_SETFOREGROUND);
}

bool MainDialog::AskOkCancel(const std::string& text) {
  return MessageBoxW(Handle(), Widen(text).c_str(), kBoxTitle, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK;
}

void MainDialog::EnableControl(int id, bool enabled) { DialogWindow::EnableControl(id, enabled); }

std::optional<std::string> MainDialog::ChooseSavePath(const std::string& proposedName) {
  return ChooseSaveFile(Handle(), proposedName);
}

void MainDialog::EndDialog(int result) { End(result); }

void MainDialog::FillPortList(const std::vector<std::string>& entries, int selected) {
  SendControl(control::kPortList, CB_RESETCONTENT);
  for (const std::string& entry : entries) {
    SendControl(control::kPortList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
  }
  SendControl(control::kPortList, CB_SETCURSEL, static_cast<WPARAM>(selected));
}

void MainDialog::RunAlignment(CIntersectAlignement& alignment) { RunAlignmentDialog(Handle(), alignment); }

void MainDialog::Pause(int milliseconds) { WaitPainting(milliseconds); }

// The waiting animation is a window of its own, without an owner.
void MainDialog::ShowWaitAnimation(bool shown) {
  if (!shown) {
    progress_.reset();  // destroys the window, if the user has not closed it
    return;
  }
  if (progress_ != nullptr) return;
  progress_ = std::make_unique<DoPltFileProgress>();
  if (!progress_->CreateModeless(nullptr)) progress_.reset();
}

void MainDialog::PostDialogMessage(unsigned message) {
  HWND window = window_.load();
  if (window != nullptr) PostMessageW(window, message, 0, 0);
}

// Status and progress go through the pending slot from every thread, so
// that the order of what is shown is the order of the calls.
void MainDialog::SetStatusText(const std::string& text) { AfterStore(pending_.SetStatusText(text)); }

void MainDialog::SetProgressRange(uint32_t range) { AfterStore(pending_.SetRange(range)); }

void MainDialog::StepProgress() { AfterStore(pending_.Step()); }

void MainDialog::AfterStore(bool wakeUp) {
  if (OnUiThread()) {
    ApplyPending();
    return;
  }
  if (!wakeUp) return;  // the posted wake-up will take this along
  HWND window = window_.load();
  if (window == nullptr || !PostMessageW(window, WM_APPLY_PENDING, 0, 0)) pending_.WakeUpLost();
}

void MainDialog::ApplyPending() {
  const ProgressUpdate update = pending_.Take();
  if (Handle() == nullptr) return;
  if (update.range) {
    SendControl(control::kProgress, PBM_SETRANGE32, 0, static_cast<LPARAM>(*update.range));
    SendControl(control::kProgress, PBM_SETSTEP, 1);
    SendControl(control::kProgress, PBM_SETPOS, 0);
  }
  if (update.steps != 0) SendControl(control::kProgress, PBM_DELTAPOS, update.steps);
  if (update.statusText) SetControlText(control::kStatus, *update.statusText);
}

}  // namespace plotsend::win32
