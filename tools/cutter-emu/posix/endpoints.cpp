#include "cutter-emu/posix/endpoints.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

namespace cutter_emu {
namespace {

std::string Failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

bool ListenLoopback(uint16_t port, int receiveBuffer, UniqueFd& listener, uint16_t& chosen, std::string& error) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) return error = Failure("socket"), false;
  const int on = 1;
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (receiveBuffer > 0) {
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    return error = Failure(("bind 127.0.0.1:" + std::to_string(port)).c_str()), false;
  }
  if (::listen(fd.Get(), 4) != 0) return error = Failure("listen"), false;
  socklen_t len = sizeof addr;
  if (::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    return error = Failure("getsockname"), false;
  }
  chosen = ntohs(addr.sin_port);
  listener = std::move(fd);
  return true;
}

bool OpenPty(UniqueFd& master, std::string& slavePath, std::string& error) {
  UniqueFd fd(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!fd) return error = Failure("posix_openpt"), false;
  if (::grantpt(fd.Get()) != 0 || ::unlockpt(fd.Get()) != 0) {
    return error = Failure("grantpt/unlockpt"), false;
  }
  const char* name = ::ptsname(fd.Get());
  if (name == nullptr) return error = Failure("ptsname"), false;
  termios t{};
  if (::tcgetattr(fd.Get(), &t) != 0) return error = Failure("tcgetattr"), false;
  ::cfmakeraw(&t);
  if (::tcsetattr(fd.Get(), TCSANOW, &t) != 0) return error = Failure("tcsetattr"), false;
  slavePath = name;
  master = std::move(fd);
  return true;
}

}  // namespace cutter_emu
