// The Win32 link object: Winsock for its lifetime, handles mapped to the API's.
#include "win_link.h"

namespace plotsend {

WinLink::WinLink(int tcpSendTimeoutMs) : tcpSendTimeoutMs_(tcpSendTimeoutMs) {
  WSADATA data;
  winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinLink::~WinLink() {
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

DeviceHandle WinLink::OpenSerialPort(const std::string& name) {
  const HANDLE port = OpenOverlapped(name);
  if (port == INVALID_HANDLE_VALUE) return kInvalidDevice;
  // A port that cannot be set to the cutter's line settings would only
  // garble the job.
  if (!ConfigureSerial(port)) {
    CloseHandle(port);
    return kInvalidDevice;
  }
  return DeviceOfHandle(port);
}

DeviceHandle WinLink::OpenUsbPort(const std::string& path) {
  const HANDLE port = OpenOverlapped(path);
  return port == INVALID_HANDLE_VALUE ? kInvalidDevice : DeviceOfHandle(port);
}

void WinLink::ClosePort(DeviceHandle handle) {
  if (IsOpen(handle)) CloseHandle(HandleOf(handle));
}

bool WinLink::WritePortTimed(const uint8_t* bytes, size_t length, DeviceHandle handle) {
  return IsOpen(handle) && OverlappedWrite(HandleOf(handle), bytes, length, kTimedWriteMs);
}

bool WinLink::WritePortBlocking(DeviceHandle handle, const uint8_t* bytes, size_t length) {
  return IsOpen(handle) && OverlappedWrite(HandleOf(handle), bytes, length, INFINITE);
}

SocketHandle WinLink::ConnectTcp(Ipv4Address address, uint16_t port, int timeoutMs) {
  connectError_.clear();
  if (!winsock_) return kNoSocket;
  const SOCKET s = ConnectIpv4(address, port, timeoutMs);
  if (s == INVALID_SOCKET) {
    connectError_ = SystemErrorText(static_cast<DWORD>(WSAGetLastError()));
    return kNoSocket;
  }
  // Sends that make no progress for this long fail instead of waiting forever.
  const DWORD sendTimeout = static_cast<DWORD>(tcpSendTimeoutMs_);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout), sizeof sendTimeout);
  return SocketHandleOf(s);
}

bool WinLink::SendTcp(SocketHandle socket, const uint8_t* bytes, size_t length) {
  return IsOpen(socket) && SendAll(SocketOf(socket), bytes, length);
}

bool WinLink::ReceiveTcp(SocketHandle socket) {
  return IsOpen(socket) && DiscardReceived(SocketOf(socket));
}

void WinLink::CloseTcp(SocketHandle socket) {
  if (IsOpen(socket)) closesocket(SocketOf(socket));
}

std::unique_ptr<LinkPort> MakeLinkPort(int tcpSendTimeoutMs) { return std::make_unique<WinLink>(tcpSendTimeoutMs); }

}  // namespace plotsend
