#pragma once
// The far end of a TCP link for tests: a listener on 127.0.0.1 at an
// ephemeral port and the connections it accepts, over the platform's
// sockets (each adapter folder has its implementation).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "link/link_port.h"

namespace plotsend {

class LoopbackPeer {
 public:
  explicit LoopbackPeer(intptr_t socket = -1) : s_(socket) {}
  ~LoopbackPeer() { Close(); }
  LoopbackPeer(LoopbackPeer&& other) noexcept : s_(other.s_) { other.s_ = -1; }
  LoopbackPeer& operator=(LoopbackPeer&&) = delete;

  bool Valid() const { return s_ != -1; }
  // Reads until `want` bytes arrived, the peer closed, or nothing came for
  // five seconds; in reads of at most `piece` bytes, like a slow cutter.
  std::vector<uint8_t> Read(size_t want, size_t piece);
  bool Send(std::string_view bytes);
  // Whether bytes (or the end of the stream) arrive within `ms`; they stay
  // unread.
  bool Receives(int ms);
  // Whether the other end closed the connection within a second.
  bool SeesClose();
  void Close();
  // Closes this end with a reset instead of an orderly close.
  void Reset();

 private:
  intptr_t s_;
};

class LoopbackListener {
 public:
  explicit LoopbackListener(int backlog = 8);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  uint16_t Port() const { return port_; }
  // The next connection, or an invalid peer after a second.
  LoopbackPeer Accept();
  // Starts `count` connects that are never accepted, so that a small queue
  // is full and further handshakes are dropped; returns once the first of
  // them is connected (or after five seconds).
  void FillQueue(int count);

 private:
  bool winsock_ = false;
  intptr_t s_ = -1;
  uint16_t port_ = 0;
  std::vector<intptr_t> fillers_;
};

// Shrinks the kernel's send buffer of a socket the link made.
void SetSendBuffer(SocketHandle socket, int bytes);
// Whether bytes, the peer's close or a reset reach a socket the link made
// within `ms`; nothing is read.
bool Receives(SocketHandle socket, int ms);
// Whether the platform's link sees the cutter acknowledge the bytes it was
// sent, so that a cutter that read a whole job and keeps the connection open
// still ends the job in success.
bool SeesAcknowledgements();
// Handles or descriptors the process holds, where the platform tells.
std::optional<size_t> OpenHandleCount();

}  // namespace plotsend
