#pragma once
// What the main dialog's logic asks of the window it runs in.
#include <optional>
#include <string>

namespace plotsend {

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
};

}  // namespace plotsend
