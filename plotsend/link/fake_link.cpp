// The recording link for tests.
#include "link/fake_link.h"

#include <algorithm>
#include <chrono>

namespace plotsend {

void FakeLink::SetSerialPorts(std::vector<std::string> names) {
  std::lock_guard lock(mutex_);
  serialPorts_ = std::move(names);
}

void FakeLink::SetUsbCutters(UsbEnumeration cutters) {
  std::lock_guard lock(mutex_);
  usbCutters_ = std::move(cutters);
}

void FakeLink::FailOpen(const std::string& name) {
  std::lock_guard lock(mutex_);
  failingOpens_.insert(name);
}

void FakeLink::SetConnectSucceeds(bool succeeds) {
  std::lock_guard lock(mutex_);
  connectSucceeds_ = succeeds;
}

void FakeLink::FailWrite(size_t n) { ShortWrite(n, 0); }

void FakeLink::ShortWrite(size_t n, size_t count) {
  std::lock_guard lock(mutex_);
  writeLimits_[n] = count;
}

void FakeLink::StallNextWrite() {
  std::lock_guard lock(mutex_);
  stalledWrites_.insert(writeCount_ + 1);
}

void FakeLink::SetDrainMode(DrainMode mode) {
  std::lock_guard lock(mutex_);
  drainMode_ = mode;
}

bool FakeLink::Stalled() const {
  std::lock_guard lock(mutex_);
  return stalled_ > 0;
}

void FakeLink::StallUntilAborted(std::unique_lock<std::mutex>& lock, uintptr_t handle) {
  ++stalled_;
  aborted_.wait_for(lock, std::chrono::seconds(10), [&] { return abortedHandles_.count(handle) != 0; });
  --stalled_;
}

std::vector<FakeLink::Call> FakeLink::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

size_t FakeLink::CallCount(CallKind kind) const {
  std::lock_guard lock(mutex_);
  return static_cast<size_t>(
      std::count_if(calls_.begin(), calls_.end(), [kind](const Call& c) { return c.kind == kind; }));
}

std::vector<uint8_t> FakeLink::Written(DeviceHandle handle) const {
  std::lock_guard lock(mutex_);
  const auto it = written_.find(handle.value);
  return it == written_.end() ? std::vector<uint8_t>{} : it->second;
}

std::vector<uint8_t> FakeLink::Sent(SocketHandle socket) const {
  std::lock_guard lock(mutex_);
  const auto it = sent_.find(socket.value);
  return it == sent_.end() ? std::vector<uint8_t>{} : it->second;
}

size_t FakeLink::OpenDevices() const {
  std::lock_guard lock(mutex_);
  return openDevices_.size();
}

size_t FakeLink::OpenSockets() const {
  std::lock_guard lock(mutex_);
  return openSockets_.size();
}

size_t FakeLink::BadCloses() const {
  std::lock_guard lock(mutex_);
  return badCloses_;
}

Ipv4Address FakeLink::LastAddress() const {
  std::lock_guard lock(mutex_);
  return lastAddress_;
}

uint16_t FakeLink::LastPort() const {
  std::lock_guard lock(mutex_);
  return lastPort_;
}

int FakeLink::LastTimeout() const {
  std::lock_guard lock(mutex_);
  return lastTimeout_;
}

std::vector<std::string> FakeLink::EnumSerialPorts() {
  std::lock_guard lock(mutex_);
  calls_.push_back({CallKind::EnumSerial, 0, {}, {}});
  return serialPorts_;
}

UsbEnumeration FakeLink::EnumUsbCutters() {
  std::lock_guard lock(mutex_);
  calls_.push_back({CallKind::EnumUsb, 0, {}, {}});
  return usbCutters_;
}

DeviceHandle FakeLink::Open(CallKind kind, const std::string& name) {
  std::lock_guard lock(mutex_);
  if (failingOpens_.count(name) != 0) {
    calls_.push_back({kind, kInvalidDevice.value, name, {}});
    return kInvalidDevice;
  }
  const DeviceHandle handle{nextValue_++};
  openDevices_.insert(handle.value);
  calls_.push_back({kind, handle.value, name, {}});
  return handle;
}

DeviceHandle FakeLink::OpenSerialPort(const std::string& name) { return Open(CallKind::OpenSerial, name); }
DeviceHandle FakeLink::OpenUsbPort(const std::string& path) { return Open(CallKind::OpenUsb, path); }

void FakeLink::Close(CallKind kind, uintptr_t handle, std::set<uintptr_t>& open) {
  calls_.push_back({kind, handle, {}, {}});
  if (open.erase(handle) == 0) ++badCloses_;
}

bool FakeLink::Drain(CallKind kind, uintptr_t handle, const std::set<uintptr_t>& open) {
  std::unique_lock lock(mutex_);
  calls_.push_back({kind, handle, {}, {}});
  if (open.count(handle) == 0) return false;
  if (drainMode_ == DrainMode::Stall) StallUntilAborted(lock, handle);
  return drainMode_ == DrainMode::Succeed && abortedHandles_.count(handle) == 0;
}

bool FakeLink::DrainPort(DeviceHandle handle) { return Drain(CallKind::DrainPort, handle.value, openDevices_); }
bool FakeLink::FinishTcp(SocketHandle socket) { return Drain(CallKind::FinishTcp, socket.value, openSockets_); }

void FakeLink::Abort(CallKind kind, uintptr_t handle) {
  {
    std::lock_guard lock(mutex_);
    calls_.push_back({kind, handle, {}, {}});
    abortedHandles_.insert(handle);
  }
  aborted_.notify_all();
}

void FakeLink::AbortPortIo(DeviceHandle handle) { Abort(CallKind::AbortPortIo, handle.value); }
void FakeLink::AbortTcpIo(SocketHandle socket) { Abort(CallKind::AbortTcpIo, socket.value); }

void FakeLink::ClosePort(DeviceHandle handle) {
  std::lock_guard lock(mutex_);
  Close(CallKind::ClosePort, handle.value, openDevices_);
}

void FakeLink::CloseTcp(SocketHandle socket) {
  std::lock_guard lock(mutex_);
  Close(CallKind::CloseTcp, socket.value, openSockets_);
}

bool FakeLink::Write(std::unique_lock<std::mutex>& lock, CallKind kind, uintptr_t handle,
                     const std::set<uintptr_t>& open, std::map<uintptr_t, std::vector<uint8_t>>& sink,
                     const uint8_t* bytes, size_t length) {
  const size_t n = ++writeCount_;
  calls_.push_back({kind, handle, {}, std::vector<uint8_t>(bytes, bytes + length)});
  if (open.count(handle) == 0) return false;
  if (stalledWrites_.count(n) != 0) StallUntilAborted(lock, handle);
  if (abortedHandles_.count(handle) != 0) return false;
  size_t out = length;
  const auto limit = writeLimits_.find(n);
  if (limit != writeLimits_.end()) out = std::min(length, limit->second);
  std::vector<uint8_t>& dest = sink[handle];
  dest.insert(dest.end(), bytes, bytes + out);
  return out == length && limit == writeLimits_.end();
}

bool FakeLink::WritePortTimed(const uint8_t* bytes, size_t length, DeviceHandle handle) {
  std::unique_lock lock(mutex_);
  return Write(lock, CallKind::WriteTimed, handle.value, openDevices_, written_, bytes, length);
}

bool FakeLink::WritePortBlocking(DeviceHandle handle, const uint8_t* bytes, size_t length) {
  std::unique_lock lock(mutex_);
  return Write(lock, CallKind::WriteBlocking, handle.value, openDevices_, written_, bytes, length);
}

bool FakeLink::SendTcp(SocketHandle socket, const uint8_t* bytes, size_t length) {
  std::unique_lock lock(mutex_);
  return Write(lock, CallKind::Send, socket.value, openSockets_, sent_, bytes, length);
}

SocketHandle FakeLink::ConnectTcp(Ipv4Address address, uint16_t port, int timeoutMs) {
  std::lock_guard lock(mutex_);
  lastAddress_ = address;
  lastPort_ = port;
  lastTimeout_ = timeoutMs;
  SocketHandle socket = kNoSocket;
  if (connectSucceeds_) {
    socket = SocketHandle{nextValue_++};
    openSockets_.insert(socket.value);
  }
  calls_.push_back({CallKind::Connect, socket.value, {}, {}});
  return socket;
}

bool FakeLink::ReceiveTcp(SocketHandle socket) {
  std::lock_guard lock(mutex_);
  calls_.push_back({CallKind::Receive, socket.value, {}, {}});
  return openSockets_.count(socket.value) != 0;
}

}  // namespace plotsend
