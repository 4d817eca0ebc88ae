#pragma once
// A link for tests: lists the ports it is given, hands out handles, records
// every call and every byte written per handle, and can be told to fail an
// open, a connect, the n-th write or the drain, or to stall the n-th write or
// the drain until the handle's I/O is aborted. Safe to use from several
// threads.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/link_port.h"

namespace plotsend {

class FakeLink final : public LinkPort {
 public:
  enum class CallKind {
    EnumSerial,
    EnumUsb,
    OpenSerial,
    OpenUsb,
    ClosePort,
    WriteTimed,
    WriteBlocking,
    Connect,
    Send,
    Receive,
    CloseTcp,
    DrainPort,
    FinishTcp,
    AbortPortIo,
    AbortTcpIo,
  };
  struct Call {
    CallKind kind;
    uintptr_t handle = 0;        // device or socket value, 0 where none applies
    std::string name;            // port name or path of an open
    std::vector<uint8_t> bytes;  // what a write was offered
  };

  // What the enumerations return.
  void SetSerialPorts(std::vector<std::string> names);
  void SetUsbCutters(UsbEnumeration cutters);
  // Opens of this name or path fail.
  void FailOpen(const std::string& name);
  // Connects fail while this is false (the default is true).
  void SetConnectSucceeds(bool succeeds);
  // The n-th write (1-based, counting timed, blocking and TCP writes
  // together) writes nothing and fails; with ShortWrite it writes only the
  // first `count` bytes and fails.
  void FailWrite(size_t n);
  void ShortWrite(size_t n, size_t count);
  // The next write waits until its handle's I/O is aborted, then fails.
  void StallNextWrite();
  // What drains and finishes do: succeed, fail, or wait until the handle's
  // I/O is aborted and then fail.
  enum class DrainMode { Succeed, Fail, Stall };
  void SetDrainMode(DrainMode mode);
  // Whether a call is waiting in a stalled write or drain.
  bool Stalled() const;

  std::vector<Call> Calls() const;
  size_t CallCount(CallKind kind) const;
  // Every byte that went out through the handle, in order.
  std::vector<uint8_t> Written(DeviceHandle handle) const;
  std::vector<uint8_t> Sent(SocketHandle socket) const;
  size_t OpenDevices() const;
  size_t OpenSockets() const;
  // Closes of handles that were not open (double closes, invalid values).
  size_t BadCloses() const;
  // Arguments of the last connect.
  Ipv4Address LastAddress() const;
  uint16_t LastPort() const;
  int LastTimeout() const;

  std::vector<std::string> EnumSerialPorts() override;
  UsbEnumeration EnumUsbCutters() override;
  DeviceHandle OpenSerialPort(const std::string& name) override;
  DeviceHandle OpenUsbPort(const std::string& path) override;
  void ClosePort(DeviceHandle handle) override;
  bool WritePortTimed(const uint8_t* bytes, size_t length, DeviceHandle handle) override;
  bool WritePortBlocking(DeviceHandle handle, const uint8_t* bytes, size_t length) override;
  SocketHandle ConnectTcp(Ipv4Address address, uint16_t port, int timeoutMs) override;
  bool SendTcp(SocketHandle socket, const uint8_t* bytes, size_t length) override;
  bool ReceiveTcp(SocketHandle socket) override;
  void CloseTcp(SocketHandle socket) override;
  bool DrainPort(DeviceHandle handle) override;
  bool FinishTcp(SocketHandle socket) override;
  void AbortPortIo(DeviceHandle handle) override;
  void AbortTcpIo(SocketHandle socket) override;

 private:
  DeviceHandle Open(CallKind kind, const std::string& name);
  // Records a write on an open handle of `open` and appends what went out
  // to `sink`; applies the configured failures.
  bool Write(std::unique_lock<std::mutex>& lock, CallKind kind, uintptr_t handle, const std::set<uintptr_t>& open,
             std::map<uintptr_t, std::vector<uint8_t>>& sink, const uint8_t* bytes, size_t length);
  void Close(CallKind kind, uintptr_t handle, std::set<uintptr_t>& open);
  bool Drain(CallKind kind, uintptr_t handle, const std::set<uintptr_t>& open);
  void Abort(CallKind kind, uintptr_t handle);
  // Waits (at most 10 s) until the handle's I/O is aborted.
  void StallUntilAborted(std::unique_lock<std::mutex>& lock, uintptr_t handle);

  mutable std::mutex mutex_;
  std::condition_variable aborted_;
  std::set<uintptr_t> abortedHandles_;
  std::set<size_t> stalledWrites_;
  DrainMode drainMode_ = DrainMode::Succeed;
  size_t stalled_ = 0;
  std::vector<std::string> serialPorts_;
  UsbEnumeration usbCutters_;
  std::set<std::string> failingOpens_;
  bool connectSucceeds_ = true;
  std::map<size_t, size_t> writeLimits_;  // write number -> bytes it lets through

  uintptr_t nextValue_ = 1;
  size_t writeCount_ = 0;
  std::vector<Call> calls_;
  std::set<uintptr_t> openDevices_;
  std::set<uintptr_t> openSockets_;
  std::map<uintptr_t, std::vector<uint8_t>> written_;
  std::map<uintptr_t, std::vector<uint8_t>> sent_;
  size_t badCloses_ = 0;
  Ipv4Address lastAddress_;
  uint16_t lastPort_ = 0;
  int lastTimeout_ = 0;
};

}  // namespace plotsend
