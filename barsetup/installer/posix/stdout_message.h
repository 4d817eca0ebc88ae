// The message port of the terminal program: the text on standard output.
#pragma once

#include <cstdio>

#include "installer/installer_ports.h"

namespace barsetup {

class StdoutMessage : public MessagePort {
 public:
  void Show(const std::string& text, MessageStyle) override {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
  // The terminal program never asks (it cannot see CorelDRAW running); were
  // it asked, the text is shown and the answer is Cancel, which changes
  // nothing.
  bool AskRetry(const std::string& text) override {
    Show(text, MessageStyle::Information);
    return false;
  }
};

}  // namespace barsetup
