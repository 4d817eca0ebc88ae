#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "usb_cutter_id.h"
#include "win_link.h"

namespace plotsend {
namespace {

TEST(WinSerialList, ThisMachineListsCleanly) {
  WinLink link;
  const std::vector<std::string> ports = link.EnumSerialPorts();
  EXPECT_LE(ports.size(), kMaxListedPorts);
  for (const std::string& p : ports) EXPECT_FALSE(p.empty());
}

// A device map of our own under HKEY_CURRENT_USER, removed again afterwards.
class TestDeviceMap {
 public:
  TestDeviceMap() : path_(L"Software\\PlotaraLinkTest" + std::to_wstring(GetCurrentProcessId())) {
    RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
  }
  ~TestDeviceMap() {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  }
  bool Ok() const { return key_ != nullptr; }
  const std::wstring& Path() const { return path_; }
  void Text(const std::wstring& name, const std::wstring& data) {
    RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  }
  void Number(const std::wstring& name, DWORD value) {
    RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
  }

 private:
  std::wstring path_;
  HKEY key_ = nullptr;
};

TEST(WinSerialList, FirstTenTextValuesInRegistryOrder) {
  TestDeviceMap map;
  ASSERT_TRUE(map.Ok());
  // Names sort as they are created, so any enumeration order gives this one.
  const std::vector<std::wstring> ports = {L"COM7",  L"COM12", L"COM1",  L"COM123", L"COM3",
                                           L"COM4",  L"COM5",  L"COM6",  L"COM8",   L"COM9",
                                           L"COM10", L"COM11"};
  map.Number(L"\\Device\\Serial00", 1);  // not text: skipped
  for (size_t i = 0; i < ports.size(); ++i) {
    map.Text(L"\\Device\\Serial" + std::to_wstring(10 + i), ports[i]);
  }
  EXPECT_EQ(ListSerialPorts(HKEY_CURRENT_USER, map.Path().c_str()),
            (std::vector<std::string>{"COM7", "COM12", "COM1", "COM123", "COM3", "COM4", "COM5",
                                      "COM6", "COM8", "COM9"}));
  EXPECT_TRUE(ListSerialPorts(HKEY_CURRENT_USER, (map.Path() + L"\\Missing").c_str()).empty());
}

TEST(WinUsbList, ThisMachineListsCleanly) {
  WinLink link;
  const UsbEnumeration found = link.EnumUsbCutters();
  EXPECT_EQ(found.failure, UsbEnumeration::Failure::None) << found.detailError;
  EXPECT_LE(found.paths.size(), kMaxListedPorts);
  for (const std::string& p : found.paths) EXPECT_TRUE(IsCutterInterfacePath(p)) << p;
}

TEST(WinDevicePath, BareNamesGoThroughTheDeviceNamespace) {
  EXPECT_EQ(DevicePath("COM1"), L"\\\\.\\COM1");
  EXPECT_EQ(DevicePath("COM12"), L"\\\\.\\COM12");
  EXPECT_EQ(DevicePath("\\\\?\\usb#vid_0483&pid_5448#1"), L"\\\\?\\usb#vid_0483&pid_5448#1");
  EXPECT_EQ(DevicePath("\\\\.\\pipe\\x"), L"\\\\.\\pipe\\x");
  EXPECT_TRUE(DevicePath("").empty());
  EXPECT_TRUE(DevicePath("\xff").empty());
}

TEST(WinDevicePort, MissingPortsDoNotOpen) {
  WinLink link;
  EXPECT_EQ(link.OpenSerialPort("COM250"), kInvalidDevice);
  EXPECT_EQ(link.OpenUsbPort("\\\\?\\usb#vid_0483&pid_5448#none"), kInvalidDevice);
  const uint8_t b = 0;
  EXPECT_FALSE(link.WritePortBlocking(kInvalidDevice, &b, 1));
  EXPECT_FALSE(link.WritePortTimed(&b, 1, kNoDevice));
}

// A named pipe stands in for a device that takes bytes: its server end is
// the cutter.
class PipeCutter {
 public:
  PipeCutter()
      : name_("\\\\.\\pipe\\plotara-link-" + std::to_string(GetCurrentProcessId())) {
    std::wstring wide;
    ToWide(name_, wide);
    server_ = CreateNamedPipeW(wide.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                               4096, 4096, 0, nullptr);
  }
  ~PipeCutter() {
    if (server_ != INVALID_HANDLE_VALUE) CloseHandle(server_);
  }
  bool Ok() const { return server_ != INVALID_HANDLE_VALUE; }
  const std::string& Name() const { return name_; }
  std::string Read(size_t want) const {
    std::string got;
    char buffer[4096];
    while (got.size() < want) {
      DWORD n = 0;
      const DWORD ask = static_cast<DWORD>(std::min(sizeof buffer, want - got.size()));
      if (!ReadFile(server_, buffer, ask, &n, nullptr) || n == 0) break;
      got.append(buffer, n);
    }
    return got;
  }
  // Reads `piece` bytes every `everyMs`, like a slow cutter, until `want`
  // bytes; `count` follows.
  std::string ReadSlowly(size_t want, size_t piece, int everyMs, std::atomic<size_t>& count) const {
    std::string got;
    while (got.size() < want) {
      const std::string more = Read(std::min(piece, want - got.size()));
      if (more.empty()) break;
      got += more;
      count = got.size();
      std::this_thread::sleep_for(std::chrono::milliseconds(everyMs));
    }
    return got;
  }
  // Reads what is waiting, without blocking.
  void Drain() const {
    DWORD waiting = 0;
    while (PeekNamedPipe(server_, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
      Read(waiting);
    }
  }

 private:
  std::string name_;
  HANDLE server_ = INVALID_HANDLE_VALUE;
};

TEST(WinDevicePort, OverlappedWritesReachTheDevice) {
  PipeCutter cutter;
  ASSERT_TRUE(cutter.Ok());
  WinLink link;
  const DeviceHandle h = link.OpenUsbPort(cutter.Name());
  ASSERT_TRUE(IsOpen(h));
  const std::string job = "IN;\nU100,200;\r\nD3,4;\x03\xff";
  EXPECT_TRUE(link.WritePortBlocking(h, reinterpret_cast<const uint8_t*>(job.data()), job.size()));
  EXPECT_EQ(cutter.Read(job.size()), job);
  const uint8_t origin = '<';
  EXPECT_TRUE(link.WritePortTimed(&origin, 1, h));
  EXPECT_EQ(cutter.Read(1), "<");
  link.ClosePort(h);
}

TEST(WinDevicePort, TimedWriteFailsWhenTheDeviceTakesNothing) {
  PipeCutter cutter;
  ASSERT_TRUE(cutter.Ok());
  WinLink link;
  const DeviceHandle h = link.OpenUsbPort(cutter.Name());
  ASSERT_TRUE(IsOpen(h));
  const std::vector<uint8_t> flood(1 << 20, 'x');
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.WritePortTimed(flood.data(), flood.size(), h));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(900));
  EXPECT_LT(took, std::chrono::milliseconds(3000));
  // The cancelled write leaves the handle usable: whatever of the flood got
  // through is drained, then a new write arrives.
  cutter.Drain();
  const std::string end = "END";
  EXPECT_TRUE(link.WritePortBlocking(h, reinterpret_cast<const uint8_t*>(end.data()), end.size()));
  EXPECT_EQ(cutter.Read(end.size()), end);
  link.ClosePort(h);
}

using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool WriteAll(LinkPort& link, DeviceHandle h, const std::string& bytes) {
  return link.WritePortBlocking(h, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// The drain returns once the cutter has taken every byte, and not before;
// a cutter that stops taking bytes fails it after the margin (a pipe tells
// no queue, so the margin is all the flush may take).
TEST(WinDevicePort, TheDrainWaitsUntilTheCutterTookEveryByte) {
  for (const bool reading : {true, false}) {
    SCOPED_TRACE(reading ? "reading" : "stalled");
    PipeCutter cutter;
    ASSERT_TRUE(cutter.Ok());
    const int marginMs = reading ? 10000 : 300;
    WinLink link(kTcpSendTimeoutMs, marginMs);
    const DeviceHandle h = link.OpenUsbPort(cutter.Name());
    ASSERT_TRUE(IsOpen(h));
    const std::string job(3500, 'j');
    ASSERT_TRUE(WriteAll(link, h, job));
    std::atomic<size_t> taken = 0;
    std::string got;
    std::thread reader;
    if (reading) reader = std::thread([&] { got = cutter.ReadSlowly(job.size(), 100, 20, taken); });  // 5 kB/s
    const auto start = Clock::now();
    EXPECT_EQ(link.DrainPort(h), reading);
    if (reading) {
      EXPECT_GE(taken + 100, job.size());  // at most the piece just read is not counted yet
      reader.join();
      EXPECT_EQ(got, job);
    } else {
      EXPECT_GE(MsSince(start), marginMs - 50);
      EXPECT_LT(MsSince(start), 3000);
    }
    link.ClosePort(h);
  }
}

// A USB cutter that stops reading fails the write after the send time-out
// instead of holding the send forever.
TEST(WinDevicePort, AStalledUsbCutterFailsTheWriteAfterTheSendTimeOut) {
  PipeCutter cutter;
  ASSERT_TRUE(cutter.Ok());
  WinLink link(300);
  const DeviceHandle h = link.OpenUsbPort(cutter.Name());
  ASSERT_TRUE(IsOpen(h));
  const auto start = Clock::now();
  EXPECT_FALSE(WriteAll(link, h, std::string(1 << 20, 'x')));
  EXPECT_GE(MsSince(start), 250);
  EXPECT_LT(MsSince(start), 5000);
  link.ClosePort(h);
}

// Aborting from another thread ends a stalled write or drain at once, and
// every later call on the handle fails.
TEST(WinDevicePort, AbortEndsAStalledWriteOrDrainAtOnce) {
  for (const bool inDrain : {false, true}) {
    SCOPED_TRACE(inDrain ? "drain" : "write");
    PipeCutter cutter;
    ASSERT_TRUE(cutter.Ok());
    WinLink link;
    const DeviceHandle h = link.OpenUsbPort(cutter.Name());
    ASSERT_TRUE(IsOpen(h));
    if (inDrain) {
      ASSERT_TRUE(WriteAll(link, h, std::string(1000, 'j')));
    }
    std::thread aborter([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      link.AbortPortIo(h);
    });
    const auto start = Clock::now();
    EXPECT_FALSE(inDrain ? link.DrainPort(h) : WriteAll(link, h, std::string(1 << 20, 'x')));
    aborter.join();
    EXPECT_LT(MsSince(start), 2000);
    EXPECT_FALSE(WriteAll(link, h, "x"));
    link.ClosePort(h);
  }
}

}  // namespace
}  // namespace plotsend
