// The Win32 link object: Winsock for its lifetime, handles mapped to the
// API's, and what aborting a handle's I/O needs.
#include "link/win32/win_link.h"

#include "common/win32/wide_text.h"

namespace plotsend {

WinLink::WinLink(int tcpSendTimeoutMs, int drainMarginMs)
    : tcpSendTimeoutMs_(tcpSendTimeoutMs), drainMarginMs_(drainMarginMs) {
  WSADATA data;
  winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinLink::~WinLink() {
  for (const auto& [value, device] : devices_) CloseHandle(device.abort);
  if (winsock_) WSACleanup();
}

std::vector<std::string> WinLink::EnumSerialPorts() {
  try {
    return ListSerialPorts(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM");
  } catch (...) {
    return {};
  }
}

UsbEnumeration WinLink::EnumUsbCutters() {
  try {
    return ListUsbCutters();
  } catch (...) {
    UsbEnumeration failed;
    failed.failure = UsbEnumeration::Failure::Memory;
    return failed;
  }
}

DeviceHandle WinLink::Watch(HANDLE device, bool serial) {
  const HANDLE abort = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (abort == nullptr) {
    CloseHandle(device);
    return kInvalidDevice;
  }
  const DeviceHandle handle = DeviceOfHandle(device);
  std::lock_guard lock(mutex_);
  devices_[handle.value] = Device{abort, serial};
  return handle;
}

WinLink::Device WinLink::DeviceOf(DeviceHandle handle) const {
  std::lock_guard lock(mutex_);
  const auto it = devices_.find(handle.value);
  return it == devices_.end() ? Device{} : it->second;
}

DeviceHandle WinLink::OpenSerialPort(const std::string& name) {
  const HANDLE port = OpenOverlapped(name);
  if (port == INVALID_HANDLE_VALUE) return kInvalidDevice;
  // A port that cannot be set to the cutter's line settings would only
  // garble the job.
  if (!ConfigureSerial(port)) {
    CloseHandle(port);
    return kInvalidDevice;
  }
  return Watch(port, true);
}

DeviceHandle WinLink::OpenUsbPort(const std::string& path) {
  const HANDLE port = OpenOverlapped(path);
  return port == INVALID_HANDLE_VALUE ? kInvalidDevice : Watch(port, false);
}

void WinLink::ClosePort(DeviceHandle handle) {
  if (!IsOpen(handle)) return;
  {
    std::lock_guard lock(mutex_);
    const auto it = devices_.find(handle.value);
    if (it != devices_.end()) {
      CloseHandle(it->second.abort);
      devices_.erase(it);
    }
  }
  CloseHandle(HandleOf(handle));
}

bool WinLink::WritePortTimed(const uint8_t* bytes, size_t length, DeviceHandle handle) {
  return IsOpen(handle) && OverlappedWrite(HandleOf(handle), bytes, length, kTimedWriteMs, DeviceOf(handle).abort);
}

bool WinLink::WritePortBlocking(DeviceHandle handle, const uint8_t* bytes, size_t length) {
  if (!IsOpen(handle)) return false;
  // A serial write ends within the port's write time-outs; a USB cutter
  // gets the TCP send time-out, so that one that stalls cannot hold the send
  // forever.
  const Device device = DeviceOf(handle);
  const DWORD waitMs = device.serial ? INFINITE : static_cast<DWORD>(tcpSendTimeoutMs_);
  return OverlappedWrite(HandleOf(handle), bytes, length, waitMs, device.abort);
}

bool WinLink::DrainPort(DeviceHandle handle) {
  return IsOpen(handle) && DrainDevice(HandleOf(handle), DeviceOf(handle).abort, drainMarginMs_);
}

void WinLink::AbortPortIo(DeviceHandle handle) {
  if (const HANDLE abort = DeviceOf(handle).abort; abort != nullptr) SetEvent(abort);
}

SocketHandle WinLink::ConnectTcp(Ipv4Address address, uint16_t port, int timeoutMs) {
  connectError_.clear();
  if (!winsock_) return kNoSocket;
  const SOCKET s = ConnectIpv4(address, port, timeoutMs);
  if (s == INVALID_SOCKET) {
    connectError_ = plotara::SystemErrorText(static_cast<unsigned long>(WSAGetLastError()));
    return kNoSocket;
  }
  // Sends that make no progress for this long fail instead of waiting forever.
  const DWORD sendTimeout = static_cast<DWORD>(tcpSendTimeoutMs_);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout), sizeof sendTimeout);
  return SocketHandleOf(s);
}

bool WinLink::SocketAborted(SocketHandle socket) const {
  std::lock_guard lock(mutex_);
  return abortedSockets_.count(socket.value) != 0;
}

bool WinLink::SendTcp(SocketHandle socket, const uint8_t* bytes, size_t length) {
  return IsOpen(socket) && !SocketAborted(socket) && SendAll(SocketOf(socket), bytes, length);
}

bool WinLink::ReceiveTcp(SocketHandle socket) { return IsOpen(socket) && DiscardReceived(SocketOf(socket)); }

void WinLink::CloseTcp(SocketHandle socket) {
  if (!IsOpen(socket)) return;
  {
    std::lock_guard lock(mutex_);
    abortedSockets_.erase(socket.value);
  }
  closesocket(SocketOf(socket));
}

bool WinLink::FinishTcp(SocketHandle socket) {
  if (!IsOpen(socket) || SocketAborted(socket)) return false;
  const bool closed = FinishSocket(SocketOf(socket), tcpSendTimeoutMs_);
  return closed && !SocketAborted(socket);  // an abort ends the reads too
}

// Once shut down, the socket fails every later send and read at once; the
// call blocked in it now is cancelled.
void WinLink::AbortTcpIo(SocketHandle socket) {
  if (!IsOpen(socket)) return;
  {
    std::lock_guard lock(mutex_);
    abortedSockets_.insert(socket.value);
  }
  const SOCKET s = SocketOf(socket);
  shutdown(s, SD_BOTH);
  CancelIoEx(reinterpret_cast<HANDLE>(s), nullptr);
}

std::unique_ptr<LinkPort> MakeLinkPort(int tcpSendTimeoutMs, int drainMarginMs) {
  return std::make_unique<WinLink>(tcpSendTimeoutMs, drainMarginMs);
}

}  // namespace plotsend
