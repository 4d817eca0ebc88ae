#pragma once
// Where a sender reaches the emulator: a loopback TCP port or a pseudo-terminal.
#include <cstdint>
#include <string>

#include "cutter-emu/posix/unique_fd.h"

namespace cutter_emu {

// Listens on 127.0.0.1:port (0: a free port, returned in `chosen`). A
// `receiveBuffer` above 0 shrinks the accepted sockets' receive buffer, so
// that a reader that stops soon holds up the sender.
bool ListenLoopback(uint16_t port, int receiveBuffer, UniqueFd& listener, uint16_t& chosen, std::string& error);

// A pseudo-terminal in raw mode (no echo, no line editing, bytes as they
// are); `slavePath` is the device a sender opens.
bool OpenPty(UniqueFd& master, std::string& slavePath, std::string& error);

}  // namespace cutter_emu
