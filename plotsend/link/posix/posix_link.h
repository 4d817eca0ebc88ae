#pragma once
// The POSIX links: termios serial ports, /dev/usb/lp* printer-class cutters
// found through sysfs, and BSD sockets. Handles are file descriptors plus
// one, so that 0 stays "none".
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/link_port.h"

namespace plotsend {

inline int FdOf(DeviceHandle h) { return static_cast<int>(h.value) - 1; }
inline int FdOf(SocketHandle s) { return static_cast<int>(s.value) - 1; }
inline DeviceHandle DeviceOfFd(int fd) { return DeviceHandle{static_cast<uintptr_t>(fd) + 1}; }
inline SocketHandle SocketOfFd(int fd) { return SocketHandle{static_cast<uintptr_t>(fd) + 1}; }

// Serial ports among devRoot/ttyS*, ttyUSB*, ttyACM* (in that order, each by
// number) that sysRoot shows as backed by a device, ttyS* only with a UART
// type other than 0. Without sysRoot/class/tty every node counts. At most 10.
std::vector<std::string> ListSerialPorts(const std::filesystem::path& devRoot, const std::filesystem::path& sysRoot);
// devRoot/usb/lp* (by number) whose USB device in sysRoot has the cutter's
// vendor and product ids. At most 10.
std::vector<std::string> ListUsbCutters(const std::filesystem::path& devRoot, const std::filesystem::path& sysRoot);

// Opens a terminal device for exclusive use, raw at 38400 8N1 with RTS/CTS
// flow control, queues flushed. kInvalidDevice on any failure.
DeviceHandle OpenSerialDevice(const std::string& name);
// Opens a device (or any file) for exclusive writing without setup.
DeviceHandle OpenPlainDevice(const std::string& path);

// Writes every byte of a non-blocking descriptor, waiting for room; gives up
// after timeoutMs (negative: no limit), or at once when `abortFd` (-1: none)
// is readable. Sockets are written with send and never raise SIGPIPE. True
// only when every byte went out.
bool WriteAll(int fd, const uint8_t* bytes, size_t length, int64_t timeoutMs, bool isSocket, int abortFd = -1);

// Waits until a device has sent what it holds: a terminal until its output
// queue is empty, a FIFO until its reader took every byte, another character
// device until it takes bytes again (a USB printer: its last transfer has
// completed). A pseudo-terminal's bytes are already in the far end's input,
// so its queue is always empty. False on an error, when aborted (as
// WriteAll), or when the drain deadline (DrainDeadline) passes.
bool DrainDevice(int fd, int abortFd, int marginMs);
// Shuts down the sending side of a connected socket and reads, discarding,
// until the peer closes in order. False on an error or reset, when aborted,
// or when for noProgressMs the peer neither acknowledged bytes nor sent any.
bool FinishSocket(int fd, int abortFd, int noProgressMs);

// The group owning a device node that this user may not read and write, so
// that the user can be told which group to join ("dialout", "lp"); empty
// when the node can be opened or is refused for another reason.
std::string DeniedGroup(const std::string& path);

// A non-blocking connected IPv4 stream socket, or -1 with errno saying why.
int ConnectIpv4(Ipv4Address address, uint16_t port, int timeoutMs);
// Reads and discards up to 100 bytes without waiting; false on error or EOF.
bool DiscardReceived(int fd);

class PosixLink final : public LinkPort {
 public:
  explicit PosixLink(std::filesystem::path devRoot = "/dev", std::filesystem::path sysRoot = "/sys",
                     int tcpSendTimeoutMs = kTcpSendTimeoutMs, int drainMarginMs = kDrainMarginMs);
  ~PosixLink() override;
  PosixLink(const PosixLink&) = delete;
  PosixLink& operator=(const PosixLink&) = delete;

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
  // Every open descriptor has an abort pipe: aborting writes a byte into it,
  // and every wait on the descriptor also watches its read end.
  struct AbortPipe {
    int read = -1;
    int write = -1;
  };
  // Gives a newly opened descriptor its pipe; -1 (the descriptor closed)
  // when no pipe can be had, since its I/O could then not be aborted.
  int Watch(int fd);
  void CloseWatched(int fd);
  int AbortFdOf(int fd) const;
  void Abort(int fd);

  std::filesystem::path devRoot_;
  std::filesystem::path sysRoot_;
  int tcpSendTimeoutMs_;
  int drainMarginMs_;
  mutable std::mutex mutex_;
  std::map<int, AbortPipe> abortPipes_;
  std::string connectError_;
};

}  // namespace plotsend
