#include "app/cli/command_input.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace plotsend {
namespace {

// Every input until the end, as "left", "enter", "esc", "s" or "line:TEXT".
std::vector<std::string> Inputs(TerminalKeys& keys) {
  CommandInput input(keys, stderr);
  std::vector<std::string> seen;
  for (;;) {
    const CommandInput::Input next = input.Next();
    using Key = TerminalKeys::Key;
    if (next.kind == CommandInput::Input::Kind::End) return seen;
    if (next.kind == CommandInput::Input::Kind::Line) {
      seen.push_back("line:" + next.line);
    } else {
      switch (next.key) {
        case Key::Left: seen.push_back("left"); break;
        case Key::Up: seen.push_back("up"); break;
        case Key::Enter: seen.push_back("enter"); break;
        case Key::Esc: seen.push_back("esc"); break;
        case Key::Other: seen.push_back("s"); break;
        default: seen.push_back("other key"); break;
      }
    }
  }
}

std::vector<std::string> FromPipe(const std::string& bytes) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  EXPECT_EQ(write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(fds[1]);
  TerminalKeys keys(fds[0]);
  std::vector<std::string> seen = Inputs(keys);
  close(fds[0]);
  return seen;
}

// The bytes typed on a terminal in raw mode (a pseudo-terminal here).
std::vector<std::string> FromTerminal(const std::string& bytes) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return {"no pseudo-terminal"};
  const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
  TerminalKeys keys(slave);
  keys.SetRaw(true);
  EXPECT_EQ(write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  // The terminal hangs up once the bytes have been read: the end of input.
  std::thread hangUp([master] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    close(master);
  });
  std::vector<std::string> seen = Inputs(keys);
  hangUp.join();
  close(slave);
  return seen;
}

using Seen = std::vector<std::string>;

TEST(CommandInput, PipedLinesAreCommandsAndKeysStayKeys) {
  // An arrow, a command, Enter alone, lines in CR LF, blanks and case, an
  // unterminated last line; "s" is a line here, not the step key.
  EXPECT_EQ(FromPipe("\x1b[Dx+\n\ns\ncoarse\r\n\r\n  OK \nx-\rbogus"),
            (Seen{"left", "line:x+", "enter", "line:s", "line:coarse", "enter", "line:ok", "line:x-", "line:bogus"}));
  // Esc drops a half-typed line; an arrow inside a line is ignored.
  EXPECT_EQ(FromPipe("canc\x1b"
                     "y\x1b[A+\n"),
            (Seen{"esc", "line:y+"}));
}

TEST(CommandInput, OnATerminalSAndArrowsActAtOnceAndTypedLinesAreCommands) {
  // "s" on an empty line is the step key; in "coarse" it is a letter. A
  // typing error is erased with Backspace.
  EXPECT_EQ(FromTerminal("s\x1b[Acoarse\nxs\x7f+\n\n"), (Seen{"s", "up", "line:coarse", "line:x+", "enter"}));
}

}  // namespace
}  // namespace plotsend
