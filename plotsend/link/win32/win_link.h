#pragma once
// The Win32 links: serial ports from HARDWARE\DEVICEMAP\SERIALCOMM, USB
// printing-class interfaces from SetupAPI, overlapped device writes and
// Winsock 2.2. Names and paths are UTF-8 outside, UTF-16 at the API.
#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link_port.h"

namespace plotsend {

// Device handles carry the HANDLE itself (null and INVALID_HANDLE_VALUE are
// kNoDevice and kInvalidDevice); socket handles the SOCKET plus one, so that
// INVALID_SOCKET is kNoSocket.
inline HANDLE HandleOf(DeviceHandle h) { return reinterpret_cast<HANDLE>(h.value); }
inline DeviceHandle DeviceOfHandle(HANDLE h) { return DeviceHandle{reinterpret_cast<uintptr_t>(h)}; }
inline SOCKET SocketOf(SocketHandle s) { return static_cast<SOCKET>(s.value - 1); }
inline SocketHandle SocketHandleOf(SOCKET s) { return SocketHandle{static_cast<uintptr_t>(s) + 1}; }

bool ToWide(const std::string& utf8, std::wstring& out);
std::string ToUtf8(const wchar_t* text, size_t length);
// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code);

// The REG_SZ values of root\subkey in enumeration order, at most 10; none
// when the key cannot be opened.
std::vector<std::string> ListSerialPorts(HKEY root, const wchar_t* subkey);
// Present USB printing-class interfaces whose path names the cutter.
UsbEnumeration ListUsbCutters();

// A listed name as a file name: bare names such as COM12 go through the
// device namespace (\\.\COM12); paths that already start with \\ are kept.
std::wstring DevicePath(const std::string& name);
// CreateFileW for read and write, no sharing, overlapped; the handle or
// INVALID_HANDLE_VALUE.
HANDLE OpenOverlapped(const std::string& name);
// Time-outs, 38400 8N1 with CTS output flow control, queues purged.
bool ConfigureSerial(HANDLE port);
// One overlapped write of every byte, waiting at most waitMs (INFINITE: until
// it completes). A write still pending at the time-out is cancelled before
// its record goes away. True only when every byte was written.
bool OverlappedWrite(HANDLE h, const uint8_t* bytes, size_t length, DWORD waitMs);

// A connected blocking IPv4 stream socket, or INVALID_SOCKET with
// WSAGetLastError saying why.
SOCKET ConnectIpv4(Ipv4Address address, uint16_t port, int timeoutMs);
bool SendAll(SOCKET s, const uint8_t* bytes, size_t length);
// Reads and discards up to 100 bytes that have arrived, without waiting.
bool DiscardReceived(SOCKET s);

class WinLink final : public LinkPort {
 public:
  explicit WinLink(int tcpSendTimeoutMs = kTcpSendTimeoutMs);
  ~WinLink() override;
  WinLink(const WinLink&) = delete;
  WinLink& operator=(const WinLink&) = delete;

  std::vector<std::string> EnumSerialPorts() override;
  UsbEnumeration EnumUsbCutters() override;
  DeviceHandle OpenSerialPort(const std::string& name) override;
  DeviceHandle OpenUsbPort(const std::string& path) override;
  void ClosePort(DeviceHandle handle) override;
  bool WritePortTimed(const uint8_t* bytes, size_t length, DeviceHandle handle) override;
  bool WritePortBlocking(DeviceHandle handle, const uint8_t* bytes, size_t length) override;
  SocketHandle ConnectTcp(Ipv4Address address, uint16_t port, int timeoutMs) override;
  std::string ConnectError() const override { return connectError_; }
  bool SendTcp(SocketHandle socket, const uint8_t* bytes, size_t length) override;
  bool ReceiveTcp(SocketHandle socket) override;
  void CloseTcp(SocketHandle socket) override;

 private:
  int tcpSendTimeoutMs_;
  bool winsock_ = false;  // WSAStartup 2.2 succeeded and needs its WSACleanup
  std::string connectError_;
};

}  // namespace plotsend
