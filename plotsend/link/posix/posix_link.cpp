// The POSIX link object: enumeration roots, handles mapped to descriptors,
// and the abort pipe of every open descriptor.
#include "link/posix/posix_link.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace plotsend {

PosixLink::PosixLink(std::filesystem::path devRoot, std::filesystem::path sysRoot, int tcpSendTimeoutMs,
                     int drainMarginMs)
    : devRoot_(std::move(devRoot)),
      sysRoot_(std::move(sysRoot)),
      tcpSendTimeoutMs_(tcpSendTimeoutMs),
      drainMarginMs_(drainMarginMs) {}

PosixLink::~PosixLink() {
  for (const auto& [fd, pipe] : abortPipes_) {
    close(pipe.read);
    close(pipe.write);
  }
}

std::vector<std::string> PosixLink::EnumSerialPorts() {
  try {
    return ListSerialPorts(devRoot_, sysRoot_);
  } catch (...) {
    return {};
  }
}

UsbEnumeration PosixLink::EnumUsbCutters() {
  UsbEnumeration found;
  try {
    found.paths = ListUsbCutters(devRoot_, sysRoot_);
  } catch (...) {
    found.failure = UsbEnumeration::Failure::Memory;
  }
  return found;
}

int PosixLink::Watch(int fd) {
  if (fd < 0) return -1;
  int ends[2];
  if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
    close(fd);
    return -1;
  }
  std::lock_guard lock(mutex_);
  abortPipes_[fd] = AbortPipe{ends[0], ends[1]};
  return fd;
}

void PosixLink::CloseWatched(int fd) {
  {
    std::lock_guard lock(mutex_);
    const auto it = abortPipes_.find(fd);
    if (it != abortPipes_.end()) {
      close(it->second.read);
      close(it->second.write);
      abortPipes_.erase(it);
    }
  }
  close(fd);
}

int PosixLink::AbortFdOf(int fd) const {
  std::lock_guard lock(mutex_);
  const auto it = abortPipes_.find(fd);
  return it == abortPipes_.end() ? -1 : it->second.read;
}

void PosixLink::Abort(int fd) {
  std::lock_guard lock(mutex_);
  const auto it = abortPipes_.find(fd);
  if (it == abortPipes_.end()) return;
  const char byte = 1;
  // A full pipe is readable already.
  [[maybe_unused]] const ssize_t n = write(it->second.write, &byte, 1);
}

DeviceHandle PosixLink::OpenSerialPort(const std::string& name) {
  const DeviceHandle h = OpenSerialDevice(name);
  return IsOpen(h) && Watch(FdOf(h)) >= 0 ? h : kInvalidDevice;
}

DeviceHandle PosixLink::OpenUsbPort(const std::string& path) {
  const DeviceHandle h = OpenPlainDevice(path);
  return IsOpen(h) && Watch(FdOf(h)) >= 0 ? h : kInvalidDevice;
}

void PosixLink::ClosePort(DeviceHandle handle) {
  if (IsOpen(handle)) CloseWatched(FdOf(handle));
}

bool PosixLink::WritePortTimed(const uint8_t* bytes, size_t length, DeviceHandle handle) {
  if (!IsOpen(handle)) return false;
  return WriteAll(FdOf(handle), bytes, length, kTimedWriteMs, false, AbortFdOf(FdOf(handle)));
}

bool PosixLink::WritePortBlocking(DeviceHandle handle, const uint8_t* bytes, size_t length) {
  if (!IsOpen(handle)) return false;
  const int fd = FdOf(handle);
  // Serial ports get the write time-out that grows with the length; a USB
  // cutter the TCP send time-out, so that one that stalls cannot hold the
  // send forever.
  const int64_t timeoutMs =
      isatty(fd) ? kSerialWriteConstantMs + kSerialWriteMsPerByte * static_cast<int64_t>(length) : tcpSendTimeoutMs_;
  return WriteAll(fd, bytes, length, timeoutMs, false, AbortFdOf(fd));
}

SocketHandle PosixLink::ConnectTcp(Ipv4Address address, uint16_t port, int timeoutMs) {
  const int connected = ConnectIpv4(address, port, timeoutMs);
  connectError_ = connected < 0 ? std::strerror(errno) : "";
  const int fd = Watch(connected);
  return fd < 0 ? kNoSocket : SocketOfFd(fd);
}

bool PosixLink::SendTcp(SocketHandle socket, const uint8_t* bytes, size_t length) {
  if (!IsOpen(socket)) return false;
  return WriteAll(FdOf(socket), bytes, length, tcpSendTimeoutMs_, true, AbortFdOf(FdOf(socket)));
}

bool PosixLink::ReceiveTcp(SocketHandle socket) { return IsOpen(socket) && DiscardReceived(FdOf(socket)); }

void PosixLink::CloseTcp(SocketHandle socket) {
  if (IsOpen(socket)) CloseWatched(FdOf(socket));
}

bool PosixLink::DrainPort(DeviceHandle handle) {
  return IsOpen(handle) && DrainDevice(FdOf(handle), AbortFdOf(FdOf(handle)), drainMarginMs_);
}

bool PosixLink::FinishTcp(SocketHandle socket) {
  return IsOpen(socket) && FinishSocket(FdOf(socket), AbortFdOf(FdOf(socket)), tcpSendTimeoutMs_);
}

void PosixLink::AbortPortIo(DeviceHandle handle) {
  if (IsOpen(handle)) Abort(FdOf(handle));
}

void PosixLink::AbortTcpIo(SocketHandle socket) {
  if (IsOpen(socket)) Abort(FdOf(socket));
}

std::unique_ptr<LinkPort> MakeLinkPort(int tcpSendTimeoutMs, int drainMarginMs) {
  return std::make_unique<PosixLink>("/dev", "/sys", tcpSendTimeoutMs, drainMarginMs);
}

}  // namespace plotsend
