#pragma once
// Keys from a terminal (in raw mode while a prompt reads them) or from any
// other input as the same bytes: arrows as ESC [ A..D, Enter as CR or LF,
// Esc alone.
#include <termios.h>

namespace plotsend {

class TerminalKeys {
 public:
  enum class Key { Left, Right, Up, Down, Enter, Esc, Other, End };
  explicit TerminalKeys(int fd);
  ~TerminalKeys();  // leaves raw mode
  // On a terminal, raw mode while on: keys arrive as pressed, unechoed.
  void SetRaw(bool on);
  TerminalKeys(const TerminalKeys&) = delete;
  TerminalKeys& operator=(const TerminalKeys&) = delete;

  // The next key; End when the input has ended. `Char()` is the byte of an
  // Other key.
  Key Next();
  // The byte of the last key read (CR or LF for Enter).
  char Char() const { return last_; }
  // Whether the input is a terminal: keys act as they are pressed there.
  bool IsTerminal() const { return terminal_; }

 private:
  // The next byte, or -1 at the end; waits at most timeoutMs when >= 0.
  int Read(int timeoutMs);

  int fd_;
  bool terminal_ = false;
  bool raw_ = false;
  termios saved_{};
  int pending_ = -2;  // a byte read ahead, -2 when none
  char last_ = 0;
};

}  // namespace plotsend
