#pragma once
// The dialog host of the terminal front end: message boxes become lines on
// stdout (information) or stderr (errors), the save dialog is the FILE
// argument, questions and the mark alignment read lines from stdin, the
// progress of a send is one line on stderr, and the workers' messages wait
// in a queue for the main thread.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/cli/command_input.h"
#include "app/cli/terminal_keys.h"
#include "app/dialog_host.h"

namespace plotsend {

class CliHost : public DialogHost {
 public:
  explicit CliHost(std::optional<std::string> file) : file_(std::move(file)) {}

  void MessageBox(const std::string& text, MessageKind kind) override;
  void EnableControl(int, bool) override {}
  // Status texts are warnings here: a line on stderr; the running count of
  // a send goes into the progress line instead.
  void SetStatusText(const std::string& text) override;
  // FILE when given, else the proposed name when it names a file.
  std::optional<std::string> ChooseSavePath(const std::string& proposedName) override;
  void EndDialog(int) override {}

  void FillPortList(const std::vector<std::string>&, int) override {}
  void SetProgressRange(uint32_t range) override;
  void StepProgress() override;
  bool AskOkCancel(const std::string& text) override;
  void RunAlignment(CIntersectAlignement& alignment) override;
  void Pause(int milliseconds) override;
  void ShowWaitAnimation(bool) override {}
  void PostDialogMessage(unsigned message) override;

  // The next posted message, waiting at most timeoutMs; nothing on time-out.
  std::optional<unsigned> WaitMessage(int timeoutMs);
  // Status texts are not shown while off (the dialog's initial texts).
  void EchoStatus(bool on) { echo_ = on; }
  // The size of the job being sent, once known; until then it is estimated
  // from the progress range.
  void SetJobBytes(uint64_t bytes) {
    std::lock_guard lock(mutex_);
    jobBytes_ = bytes;
  }
  // Ends the progress line of a send; `complete` shows it at 100% first.
  void EndProgress(bool complete = false);

 private:
  void PrintProgress(bool last);

  std::optional<std::string> file_;
  bool echo_ = true;
  // One reader of stdin for every prompt of the run, so that nothing read
  // for one prompt (the LF of a CR LF) is taken by the next.
  TerminalKeys keys_{STDIN_FILENO};
  CommandInput input_{keys_, stderr};

  std::mutex mutex_;  // the send thread reports progress while main waits
  std::condition_variable posted_;
  std::deque<unsigned> messages_;
  uint32_t range_ = 0;
  uint32_t position_ = 0;
  uint64_t sent_ = 0;
  uint64_t jobBytes_ = 0;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point shownAt_;
  int shownPercent_ = -1;
  bool progressShown_ = false;
  bool terminal_ = false;  // stderr is a terminal: one line, redrawn
};

}  // namespace plotsend
