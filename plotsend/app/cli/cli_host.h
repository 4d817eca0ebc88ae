#pragma once
// The dialog host of the terminal front end: message boxes become lines on
// stdout (information) or stderr (errors), the save dialog is the FILE
// argument, controls have no state to show.
#include <optional>
#include <string>

#include "dialog_host.h"

namespace plotsend {

class CliHost : public DialogHost {
 public:
  explicit CliHost(std::optional<std::string> file) : file_(std::move(file)) {}

  void MessageBox(const std::string& text, MessageKind kind) override;
  void EnableControl(int, bool) override {}
  // Status texts are warnings here: a line on stderr.
  void SetStatusText(const std::string& text) override;
  // FILE when given, else the proposed name when it names a file.
  std::optional<std::string> ChooseSavePath(const std::string& proposedName) override;
  void EndDialog(int) override {}

 private:
  std::optional<std::string> file_;
};

}  // namespace plotsend
