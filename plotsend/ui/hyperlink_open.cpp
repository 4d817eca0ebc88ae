// Opening a hyperlink: the shell first, then the ".htm" browser's command
// line; and the texts that explain a failure.
#include <array>
#include <string_view>

#include "ui/hyperlink.h"

namespace plotsend {

int OpenLink(HyperLinkPort& port, const std::string& url, int showCommand) {
  const int shellCode = port.ShellOpen(url, showCommand);
  if (OpenSucceeded(shellCode)) return shellCode;
  std::string htmClass;
  if (port.ReadClassesRootDefault(".htm", htmClass) != 0) return shellCode;
  std::string command;
  if (port.ReadClassesRootDefault(htmClass + "\\shell\\open\\command", command) != 0) return shellCode;
  return port.RunCommandLine(BrowserCommandLine(command, url), showCommand);
}

std::string BrowserCommandLine(const std::string& command, const std::string& url) {
  // The line is UTF-8, where every byte of a multibyte character is 0x80 or
  // above: the ASCII bytes of "%1" and '"' never occur inside another
  // character, so a plain byte search finds only whole characters.
  size_t cut = command.find("\"%1\"");
  if (cut == std::string::npos) cut = command.find("%1");
  std::string line = command.substr(0, cut);
  line += ' ';
  line += url;
  return line;
}

namespace {

struct CodeText {
  int code;
  std::string_view text;
};

constexpr std::array<CodeText, 13> kOpenErrors{{
    {0, "The operating system is out\nof memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied\naccess to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred. "},
    {27, "The filename association is\nincomplete or invalid."},
    {28, "The DDE transaction could not\nbe completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
    {31, "There is no application associated\nwith the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
}};

}  // namespace

std::string OpenErrorText(int code) {
  std::string text = "Unable to open hyperlink:\n\n";
  for (const CodeText& entry : kOpenErrors) {
    if (entry.code == code) return text.append(entry.text);
  }
  return text + "Unknown Error (" + std::to_string(code) + ") occurred.";
}

}  // namespace plotsend
