#include "app/cli/terminal_keys.h"

#include <poll.h>
#include <unistd.h>

namespace plotsend {
namespace {

constexpr int kEscapeWaitMs = 50;  // an arrow's bytes follow its ESC at once

}  // namespace

TerminalKeys::TerminalKeys(int fd) : fd_(fd), terminal_(isatty(fd) != 0) {}

TerminalKeys::~TerminalKeys() { SetRaw(false); }

void TerminalKeys::SetRaw(bool on) {
  if (!on) {
    if (raw_) tcsetattr(fd_, TCSANOW, &saved_);
    raw_ = false;
    return;
  }
  if (raw_ || !terminal_ || tcgetattr(fd_, &saved_) != 0) return;
  termios raw = saved_;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  raw_ = tcsetattr(fd_, TCSANOW, &raw) == 0;
}

int TerminalKeys::Read(int timeoutMs) {
  if (pending_ != -2) {
    const int b = pending_;
    pending_ = -2;
    return b;
  }
  if (timeoutMs >= 0) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return -1;
  }
  unsigned char b = 0;
  const ssize_t n = read(fd_, &b, 1);
  return n == 1 ? b : -1;
}

TerminalKeys::Key TerminalKeys::Next() {
  const int b = Read(-1);
  if (b < 0) return Key::End;
  last_ = static_cast<char>(b);
  if (b == '\r' || b == '\n') return Key::Enter;
  if (b != 0x1b) return Key::Other;
  const int second = Read(kEscapeWaitMs);
  if (second != '[' && second != 'O') {
    if (second >= 0) pending_ = second;
    return Key::Esc;
  }
  switch (Read(kEscapeWaitMs)) {
    case 'A': return Key::Up;
    case 'B': return Key::Down;
    case 'C': return Key::Right;
    case 'D': return Key::Left;
    default: return Key::Other;
  }
}

}  // namespace plotsend
