#pragma once
// What the main dialog's logic asks of the window it runs in.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plotsend {

class CIntersectAlignement;

class DialogHost {
 public:
  virtual ~DialogHost() = default;

  enum class MessageKind { Info, Error };
  // A modal message box with an OK button.
  virtual void MessageBox(const std::string& text, MessageKind kind) = 0;
  virtual void EnableControl(int id, bool enabled) = 0;
  // The status field (control 1003).
  virtual void SetStatusText(const std::string& text) = 0;
  // The save-file dialog with default extension "plt", the proposed name,
  // the filter "PLT Files(*.plt)|*.plt|", hiding read-only and prompting
  // before overwriting. Empty when the user cancels.
  virtual std::optional<std::string> ChooseSavePath(const std::string& proposedName) = 0;
  virtual void EndDialog(int result) = 0;

  // The port list (control 1001): its entries and the selected one.
  virtual void FillPortList(const std::vector<std::string>& entries, int selected) = 0;
  // The progress bar (control 1000): position 0, range 0..range, step 1.
  virtual void SetProgressRange(uint32_t range) = 0;
  virtual void StepProgress() = 0;
  // An OK/Cancel question; true for OK.
  virtual bool AskOkCancel(const std::string& text) = 0;
  // Runs the mark alignment dialog modally; returns when it has ended.
  virtual void RunAlignment(CIntersectAlignement& alignment) = 0;
  // The wait after the origin command, so that the cutter has moved.
  virtual void Pause(int milliseconds) = 0;
  // The waiting animation while the job is prepared.
  virtual void ShowWaitAnimation(bool shown) = 0;
  // Called from a worker thread: hands `message` (WM_JOB_PREPARED,
  // WM_SEND_FINISHED) back to the dialog's OnMessage on the user-interface
  // thread. SetStatusText, SetProgressRange and StepProgress may also be
  // called from the send thread.
  virtual void PostDialogMessage(unsigned message) = 0;
};

}  // namespace plotsend
