#pragma once
// The links to the cutter as the dialogs see them: discovery of serial ports
// and USB cutters, opening and closing a port, timed and blocking writes, and
// a TCP connection. Handles are plain values that the dialog stores and hands
// back; the link object keeps only what it needs to abort a handle's I/O, so
// every handle it returns must be closed through it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plotsend {

// At most this many serial ports and this many USB cutters are listed.
inline constexpr size_t kMaxListedPorts = 10;

// Time-outs of the writes: the one-byte origin command waits at most
// kTimedWriteMs; a serial write is given kSerialWriteMsPerByte for every byte
// plus kSerialWriteConstantMs; a USB write gets the TCP send time-out below.
inline constexpr int kTimedWriteMs = 1000;
inline constexpr int kSerialWriteMsPerByte = 1000;
inline constexpr int kSerialWriteConstantMs = 1000;

// How long ConnectTcp waits for the cutter to accept by default.
inline constexpr int kTcpConnectTimeoutMs = 5000;
// A TCP send that cannot hand its bytes to the connection for this long
// fails: a cutter that stopped reading would otherwise hold the send (and
// its Cancel) forever. USB writes and the wait for the cutter to close a
// TCP connection at the end of a job get the same time-out.
inline constexpr int kTcpSendTimeoutMs = 60000;

// The line speed of the cutter's serial port, 10 bits a byte (8N1).
inline constexpr int kCutterBaud = 38400;
// Draining a serial or USB port may take the time its queued bytes need at
// kCutterBaud plus this margin, counted again whenever the queue shrank.
inline constexpr int kDrainMarginMs = 10000;

// An open serial or USB port. kNoDevice: nothing was opened; kInvalidDevice:
// the last open failed. Any other value is open and must be closed.
struct DeviceHandle {
  uintptr_t value = 0;
  friend bool operator==(DeviceHandle, DeviceHandle) = default;
};
inline constexpr DeviceHandle kNoDevice{0};
inline constexpr DeviceHandle kInvalidDevice{~uintptr_t{0}};
inline constexpr bool IsOpen(DeviceHandle h) { return h != kNoDevice && h != kInvalidDevice; }

// A TCP socket; kNoSocket (the default) when none is held.
struct SocketHandle {
  uintptr_t value = 0;
  friend bool operator==(SocketHandle, SocketHandle) = default;
};
inline constexpr SocketHandle kNoSocket{0};
inline constexpr bool IsOpen(SocketHandle s) { return s != kNoSocket; }

// An IPv4 address as the dialog's four fields, most significant first.
struct Ipv4Address {
  uint8_t field[4] = {0, 0, 0, 0};
};

// The USB cutters found, and why the search ended early if it did.
struct UsbEnumeration {
  enum class Failure { None, Memory, Detail };
  std::vector<std::string> paths;  // device paths in discovery order, at most 10
  Failure failure = Failure::None;
  std::string detailError;  // the system's text for the error, with Failure::Detail
};

class LinkPort {
 public:
  virtual ~LinkPort() = default;

  // Names of the serial ports present, as they are listed and opened
  // ("COM3", "/dev/ttyUSB0"), in the platform's order, at most 10.
  virtual std::vector<std::string> EnumSerialPorts() = 0;
  // Device paths of the USB cutters present (vendor 0483, product 5448).
  virtual UsbEnumeration EnumUsbCutters() = 0;

  // Opens a serial port by its listed name for exclusive use at 38400 baud
  // 8N1 with CTS flow control and the serial write time-outs, and discards
  // whatever was queued. kInvalidDevice when the port cannot be opened or
  // set up.
  virtual DeviceHandle OpenSerialPort(const std::string& name) = 0;
  // Opens a USB cutter by its device path for exclusive use.
  virtual DeviceHandle OpenUsbPort(const std::string& path) = 0;
  // Closes an open handle; kNoDevice and kInvalidDevice are ignored.
  virtual void ClosePort(DeviceHandle handle) = 0;

  // Writes within kTimedWriteMs. True only when every byte went out in time.
  virtual bool WritePortTimed(const uint8_t* bytes, size_t length, DeviceHandle handle) = 0;
  // Writes and waits for the write to complete (serial ports within their
  // time-outs). True only when every byte went out.
  virtual bool WritePortBlocking(DeviceHandle handle, const uint8_t* bytes, size_t length) = 0;

  // Connects a new socket to address:port, waiting at most timeoutMs.
  // kNoSocket (nothing left open) when the connection is not made.
  virtual SocketHandle ConnectTcp(Ipv4Address address, uint16_t port, int timeoutMs) = 0;
  // Why the last ConnectTcp made no connection, in the system's words;
  // empty when it connected or the reason is not known.
  virtual std::string ConnectError() const { return {}; }
  // Sends all bytes, continuing after partial sends. True only when every
  // byte was handed to the connection. A peer that has gone never raises a
  // signal.
  virtual bool SendTcp(SocketHandle socket, const uint8_t* bytes, size_t length) = 0;
  // Reads and discards up to 100 bytes that have arrived, without waiting.
  // False when the connection failed or was closed by the peer.
  virtual bool ReceiveTcp(SocketHandle socket) = 0;
  // Closes the socket; kNoSocket is ignored.
  virtual void CloseTcp(SocketHandle socket) = 0;

  // After the last write of a job: waits until the port has sent what its
  // driver still holds, within the drain time (kCutterBaud, kDrainMarginMs).
  // True only when nothing is left; closing the port earlier may drop bytes.
  virtual bool DrainPort(DeviceHandle handle) = 0;
  // After the last send of a job: ends the sending side of the connection
  // and waits for the cutter to close its side, discarding what it sends,
  // until nothing happened for the send time-out. True only when the cutter
  // closed in order, having read every byte. The socket must still be closed.
  virtual bool FinishTcp(SocketHandle socket) = 0;
  // May be called from any thread: the write, drain or finish running on the
  // handle fails at once, and so does every later one. The handle must still
  // be closed, once nothing uses it any more.
  virtual void AbortPortIo(DeviceHandle handle) = 0;
  virtual void AbortTcpIo(SocketHandle socket) = 0;
};

// The platform's links (termios, /dev/usb/lp* and BSD sockets on POSIX;
// serial communications, SetupAPI and Winsock 2.2 on Windows).
std::unique_ptr<LinkPort> MakeLinkPort(int tcpSendTimeoutMs = kTcpSendTimeoutMs, int drainMarginMs = kDrainMarginMs);

}  // namespace plotsend
