#include "cli_host.h"

#include <cstdio>

namespace plotsend {

void CliHost::MessageBox(const std::string& text, MessageKind kind) {
  if (kind == MessageKind::Error) {
    std::fprintf(stderr, "plotsend: %s\n", text.c_str());
  } else {
    std::printf("%s\n", text.c_str());
  }
}

void CliHost::SetStatusText(const std::string& text) {
  std::fprintf(stderr, "plotsend: %s\n", text.c_str());
}

std::optional<std::string> CliHost::ChooseSavePath(const std::string& proposedName) {
  if (file_) return file_;
  if (proposedName.find('*') == std::string::npos) return proposedName;
  return std::nullopt;
}

}  // namespace plotsend
