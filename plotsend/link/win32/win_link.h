#pragma once
// The Win32 links: serial ports from HARDWARE\DEVICEMAP\SERIALCOMM, USB
// printing-class interfaces from SetupAPI, overlapped device writes and
// Winsock 2.2. Names and paths are UTF-8 outside, UTF-16 at the API.
#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/link_port.h"

namespace plotsend {

// Device handles carry the HANDLE itself (null and INVALID_HANDLE_VALUE are
// kNoDevice and kInvalidDevice); socket handles the SOCKET plus one, so that
// INVALID_SOCKET is kNoSocket.
inline HANDLE HandleOf(DeviceHandle h) { return reinterpret_cast<HANDLE>(h.value); }
inline DeviceHandle DeviceOfHandle(HANDLE h) { return DeviceHandle{reinterpret_cast<uintptr_t>(h)}; }
inline SOCKET SocketOf(SocketHandle s) { return static_cast<SOCKET>(s.value - 1); }
inline SocketHandle SocketHandleOf(SOCKET s) { return SocketHandle{static_cast<uintptr_t>(s) + 1}; }

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
// it completes), and not at all once the event `abort` (null: none) is set.
// A write still pending then is cancelled before its record goes away. True
// only when every byte was written.
bool OverlappedWrite(HANDLE h, const uint8_t* bytes, size_t length, DWORD waitMs, HANDLE abort = nullptr);
// Waits until a device has sent what it holds: a serial port until its
// transmit queue (ClearCommError) is empty, then any device until
// FlushFileBuffers returns; a driver that has nothing to flush (the call is
// not supported) counts as drained. False on an error, once `abort` is set,
// or when the drain deadline (DrainDeadline) passes; a flush still running
// then is cancelled.
bool DrainDevice(HANDLE h, HANDLE abort, int marginMs);

// A connected blocking IPv4 stream socket, or INVALID_SOCKET with
// WSAGetLastError saying why.
SOCKET ConnectIpv4(Ipv4Address address, uint16_t port, int timeoutMs);
bool SendAll(SOCKET s, const uint8_t* bytes, size_t length);
// Shuts down the sending side of a connected blocking socket and reads,
// discarding, until the peer closes in order. False on an error or reset,
// or when nothing arrived for noProgressMs.
bool FinishSocket(SOCKET s, int noProgressMs);
// Reads and discards up to 100 bytes that have arrived, without waiting.
bool DiscardReceived(SOCKET s);

class WinLink final : public LinkPort {
 public:
  explicit WinLink(int tcpSendTimeoutMs = kTcpSendTimeoutMs, int drainMarginMs = kDrainMarginMs);
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
  bool DrainPort(DeviceHandle handle) override;
  bool FinishTcp(SocketHandle socket) override;
  void AbortPortIo(DeviceHandle handle) override;
  void AbortTcpIo(SocketHandle socket) override;

 private:
  // Every open device has a manual-reset event that aborting sets; its
  // writes and its drain wait on that event too.
  struct Device {
    HANDLE abort = nullptr;
    bool serial = false;
  };
  // Registers a newly opened device; kInvalidDevice (the device closed) when
  // it has no event, since its I/O could then not be aborted.
  DeviceHandle Watch(HANDLE device, bool serial);
  Device DeviceOf(DeviceHandle handle) const;
  bool SocketAborted(SocketHandle socket) const;

  int tcpSendTimeoutMs_;
  int drainMarginMs_;
  bool winsock_ = false;  // WSAStartup 2.2 succeeded and needs its WSACleanup
  mutable std::mutex mutex_;
  std::map<uintptr_t, Device> devices_;
  // Sockets whose I/O was aborted: shut down, their pending I/O cancelled.
  std::set<uintptr_t> abortedSockets_;
  std::string connectError_;
};

}  // namespace plotsend
