// The message port over MessageBoxW.
#pragma once

#include <string>
#include <utility>

#include "installer/installer_ports.h"

namespace barsetup {

class WinMessage : public MessagePort {
 public:
  // title: the program file's name without extension.
  explicit WinMessage(std::string title) : title_(std::move(title)) {}

  // The final message: OK, exclamation icon, system modal; the others: OK
  // and the information icon.
  void Show(const std::string& text, MessageStyle style) override;
  // MB_RETRYCANCEL with the warning icon, system modal.
  bool AskRetry(const std::string& text) override;

 private:
  std::string title_;
};

}  // namespace barsetup
