// Winsock IPv4 TCP connections with a bounded connect.
#include "link/win32/win_link.h"

namespace plotsend {
namespace {

bool SetBlocking(SOCKET s, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

// Waits for the connect in progress; true once it succeeded.
bool AwaitConnect(SOCKET s, int timeoutMs) {
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  const int ready = select(0, nullptr, &writable, &failed, &wait);
  if (ready == 0) WSASetLastError(WSAETIMEDOUT);
  if (ready != 1) return false;
  int error = 0;
  int size = sizeof error;
  if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0) return false;
  if (error != 0) WSASetLastError(error);
  return error == 0 && FD_ISSET(s, &writable);
}

}  // namespace

SOCKET ConnectIpv4(Ipv4Address address, uint16_t port, int timeoutMs) {
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return INVALID_SOCKET;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  const uint8_t* f = address.field;
  to.sin_addr.s_addr = htonl((u_long{f[0]} << 24) | (u_long{f[1]} << 16) | (u_long{f[2]} << 8) | u_long{f[3]});
  bool ok = SetBlocking(s, false);
  if (ok && connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
    ok = WSAGetLastError() == WSAEWOULDBLOCK && AwaitConnect(s, timeoutMs);
  }
  ok = ok && SetBlocking(s, true);
  if (!ok) {
    const int reason = WSAGetLastError();  // kept for the caller across closesocket
    closesocket(s);
    WSASetLastError(reason);
    return INVALID_SOCKET;
  }
  return s;
}

bool SendAll(SOCKET s, const uint8_t* bytes, size_t length) {
  for (size_t done = 0; done < length;) {
    const size_t left = length - done;
    const int piece = left > 0x40000000u ? 0x40000000 : static_cast<int>(left);
    const int n = send(s, reinterpret_cast<const char*>(bytes + done), piece, 0);
    if (n == SOCKET_ERROR || n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool FinishSocket(SOCKET s, int noProgressMs) {
  if (shutdown(s, SD_SEND) != 0) return false;
  // Every read waits at most the time-out; what arrives counts as progress.
  const DWORD wait = static_cast<DWORD>(noProgressMs);
  if (setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait) != 0) return false;
  char buffer[100];
  for (;;) {
    const int n = recv(s, buffer, sizeof buffer, 0);
    if (n == 0) return true;  // the peer closed after our end of file
    if (n < 0) return false;  // reset, time-out, or aborted
  }
}

bool DiscardReceived(SOCKET s) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(s, &readable);
  timeval now{0, 0};
  const int ready = select(0, &readable, nullptr, nullptr, &now);
  if (ready == 0) return true;
  if (ready != 1) return false;
  char buffer[100];
  return recv(s, buffer, sizeof buffer, 0) > 0;
}

}  // namespace plotsend
