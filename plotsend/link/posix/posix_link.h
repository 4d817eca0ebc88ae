#pragma once
// The POSIX links: termios serial ports, /dev/usb/lp* printer-class cutters
// found through sysfs, and BSD sockets. Handles are file descriptors plus
// one, so that 0 stays "none".
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "link_port.h"

namespace plotsend {

inline int FdOf(DeviceHandle h) { return static_cast<int>(h.value) - 1; }
inline int FdOf(SocketHandle s) { return static_cast<int>(s.value) - 1; }
inline DeviceHandle DeviceOfFd(int fd) { return DeviceHandle{static_cast<uintptr_t>(fd) + 1}; }
inline SocketHandle SocketOfFd(int fd) { return SocketHandle{static_cast<uintptr_t>(fd) + 1}; }

// Serial ports among devRoot/ttyS*, ttyUSB*, ttyACM* (in that order, each by
// number) that sysRoot shows as backed by a device, ttyS* only with a UART
// type other than 0. Without sysRoot/class/tty every node counts. At most 10.
std::vector<std::string> ListSerialPorts(const std::filesystem::path& devRoot,
                                         const std::filesystem::path& sysRoot);
// devRoot/usb/lp* (by number) whose USB device in sysRoot has the cutter's
// vendor and product ids. At most 10.
std::vector<std::string> ListUsbCutters(const std::filesystem::path& devRoot,
                                        const std::filesystem::path& sysRoot);

// Opens a terminal device for exclusive use, raw at 38400 8N1 with RTS/CTS
// flow control, queues flushed. kInvalidDevice on any failure.
DeviceHandle OpenSerialDevice(const std::string& name);
// Opens a device (or any file) for exclusive writing without setup.
DeviceHandle OpenPlainDevice(const std::string& path);

// Writes every byte of a non-blocking descriptor, waiting for room; gives up
// after timeoutMs (negative: no limit). Sockets are written with send and
// never raise SIGPIPE. True only when every byte went out.
bool WriteAll(int fd, const uint8_t* bytes, size_t length, int64_t timeoutMs, bool isSocket);

// A non-blocking connected IPv4 stream socket, or -1 with errno saying why.
int ConnectIpv4(Ipv4Address address, uint16_t port, int timeoutMs);
// Reads and discards up to 100 bytes without waiting; false on error or EOF.
bool DiscardReceived(int fd);

class PosixLink final : public LinkPort {
 public:
  explicit PosixLink(std::filesystem::path devRoot = "/dev", std::filesystem::path sysRoot = "/sys",
                     int tcpSendTimeoutMs = kTcpSendTimeoutMs);

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
  std::filesystem::path devRoot_;
  std::filesystem::path sysRoot_;
  int tcpSendTimeoutMs_;
  std::string connectError_;
};

}  // namespace plotsend
