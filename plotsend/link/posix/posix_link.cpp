// The POSIX link object: enumeration roots, and handles mapped to descriptors.
#include "posix_link.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace plotsend {

PosixLink::PosixLink(std::filesystem::path devRoot, std::filesystem::path sysRoot, int tcpSendTimeoutMs)
    : devRoot_(std::move(devRoot)), sysRoot_(std::move(sysRoot)), tcpSendTimeoutMs_(tcpSendTimeoutMs) {}

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

DeviceHandle PosixLink::OpenSerialPort(const std::string& name) { return OpenSerialDevice(name); }
DeviceHandle PosixLink::OpenUsbPort(const std::string& path) { return OpenPlainDevice(path); }

void PosixLink::ClosePort(DeviceHandle handle) {
  if (IsOpen(handle)) close(FdOf(handle));
}

bool PosixLink::WritePortTimed(const uint8_t* bytes, size_t length, DeviceHandle handle) {
  if (!IsOpen(handle)) return false;
  return WriteAll(FdOf(handle), bytes, length, kTimedWriteMs, false);
}

bool PosixLink::WritePortBlocking(DeviceHandle handle, const uint8_t* bytes, size_t length) {
  if (!IsOpen(handle)) return false;
  const int fd = FdOf(handle);
  // Serial ports get the write time-out that grows with the length; a USB
  // cutter is waited for as long as it takes.
  const int64_t timeoutMs = isatty(fd) ? kSerialWriteConstantMs +
                                             kSerialWriteMsPerByte * static_cast<int64_t>(length)
                                       : -1;
  return WriteAll(fd, bytes, length, timeoutMs, false);
}

SocketHandle PosixLink::ConnectTcp(Ipv4Address address, uint16_t port, int timeoutMs) {
  const int fd = ConnectIpv4(address, port, timeoutMs);
  connectError_ = fd < 0 ? std::strerror(errno) : "";
  return fd < 0 ? kNoSocket : SocketOfFd(fd);
}

bool PosixLink::SendTcp(SocketHandle socket, const uint8_t* bytes, size_t length) {
  if (!IsOpen(socket)) return false;
  return WriteAll(FdOf(socket), bytes, length, tcpSendTimeoutMs_, true);
}

bool PosixLink::ReceiveTcp(SocketHandle socket) {
  return IsOpen(socket) && DiscardReceived(FdOf(socket));
}

void PosixLink::CloseTcp(SocketHandle socket) {
  if (IsOpen(socket)) close(FdOf(socket));
}

std::unique_ptr<LinkPort> MakeLinkPort(int tcpSendTimeoutMs) {
  return std::make_unique<PosixLink>("/dev", "/sys", tcpSendTimeoutMs);
}

}  // namespace plotsend
