#pragma once
// What the user gives the mark alignment and the origin prompt in a
// terminal: single keys (the arrows, Enter, Esc and, on a terminal, "s"), or
// one command a line ("x+", "ok", "cancel"), typed or piped. A line is
// gathered from its characters, so typing "x+" and Enter is the command x+,
// while Enter on its own is the Enter key.
#include <cstdio>
#include <string>

#include "app/cli/terminal_keys.h"

namespace plotsend {

class CommandInput {
 public:
  struct Input {
    enum class Kind { Key, Line, End };
    Kind kind = Kind::End;
    TerminalKeys::Key key = TerminalKeys::Key::Other;  // Key: an arrow, Enter, Esc, or Other for "s"
    std::string line;                                  // Line: the command, trimmed and in lower case, never empty
  };

  // What is typed on a terminal is echoed to `echo`.
  CommandInput(TerminalKeys& keys, std::FILE* echo) : keys_(keys), echo_(echo) {}

  // The next key or line; End once the input has ended.
  Input Next();

 private:
  // The line gathered so far as a command, and the line cleared.
  Input TakeLine();
  void Echo(const char* text);

  TerminalKeys& keys_;
  std::FILE* echo_;
  std::string line_;
  bool afterCr_ = false;  // a CR LF pair ends one line, not two
};

}  // namespace plotsend
