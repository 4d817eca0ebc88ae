#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/posix/posix_link.h"
#include "link/stand_in_cutter.h"

namespace plotsend {
namespace {

namespace fs = std::filesystem;

// A scratch directory that stands in for /dev and /sys.
class FakeTree {
 public:
  FakeTree() {
    std::string pattern = (fs::temp_directory_path() / "plotsend-link-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
    fs::create_directories(Dev() / "usb");
    fs::create_directories(Sys() / "class" / "tty");
    fs::create_directories(Sys() / "class" / "usbmisc");
  }
  ~FakeTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path Dev() const { return root_ / "dev"; }
  fs::path Sys() const { return root_ / "sys"; }

  void Node(const fs::path& relative) { std::ofstream(Dev() / relative).put('\0'); }
  void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }
  // A tty with a device behind it; `type` is the UART type where given.
  void Tty(const std::string& name, const char* type = nullptr) {
    Node(name);
    const fs::path cls = Sys() / "class" / "tty" / name;
    fs::create_directories(Sys() / "devices" / name);
    fs::create_directories(cls);
    fs::create_directory_symlink(Sys() / "devices" / name, cls / "device");
    if (type) Write(cls / "type", std::string(type) + "\n");
  }
  // /dev/usb/<lp> of a USB printer-class interface of a device with the ids.
  void Printer(const std::string& lp, const std::string& vendor, const std::string& product) {
    Node(fs::path("usb") / lp);
    const fs::path device = Sys() / "devices" / "usb1" / ("1-" + lp);
    const fs::path interface = device / ("1-" + lp + ":1.0");
    fs::create_directories(interface / "usbmisc" / lp);
    Write(device / "idVendor", vendor + "\n");
    Write(device / "idProduct", product + "\n");
    const fs::path cls = Sys() / "class" / "usbmisc" / lp;
    fs::create_directories(cls);
    fs::create_directory_symlink(fs::relative(interface, cls), cls / "device");
  }

 private:
  fs::path root_;
};

std::vector<std::string> Under(const fs::path& root, const std::vector<std::string>& names) {
  std::vector<std::string> paths;
  for (const std::string& n : names) paths.push_back((root / n).string());
  return paths;
}

TEST(PosixSerialList, PortsWithADeviceBehindThemInFamilyAndNumberOrder) {
  FakeTree tree;
  tree.Tty("ttyUSB1");
  tree.Tty("ttyS10", "4");
  tree.Tty("ttyS0", "4");
  tree.Tty("ttyS1", "0");  // a legacy port without a UART
  tree.Tty("ttyS2", "4");
  tree.Tty("ttyACM0");
  tree.Tty("ttyUSB0");
  tree.Node("ttyUSB7");  // a node without a device
  tree.Tty("ttyS3x", "4");
  tree.Tty("tty0");
  PosixLink link(tree.Dev(), tree.Sys());
  EXPECT_EQ(link.EnumSerialPorts(), Under(tree.Dev(), {"ttyS0", "ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM0"}));
}

TEST(PosixSerialList, AtMostTenAreListed) {
  FakeTree tree;
  for (int i = 0; i < 12; ++i) tree.Tty("ttyUSB" + std::to_string(i));
  tree.Tty("ttyACM0");
  std::vector<std::string> first10;
  for (int i = 0; i < 10; ++i) first10.push_back("ttyUSB" + std::to_string(i));
  EXPECT_EQ(ListSerialPorts(tree.Dev(), tree.Sys()), Under(tree.Dev(), first10));
}

TEST(PosixSerialList, WithoutSysfsEveryNodeCounts) {
  FakeTree tree;
  tree.Node("ttyS1");
  tree.Node("ttyACM0");
  EXPECT_EQ(ListSerialPorts(tree.Dev(), tree.Dev() / "no-sys"), Under(tree.Dev(), {"ttyS1", "ttyACM0"}));
}

TEST(PosixSerialList, ThisMachineListsCleanly) {
  PosixLink link;
  const std::vector<std::string> ports = link.EnumSerialPorts();
  EXPECT_LE(ports.size(), kMaxListedPorts);
  for (const std::string& p : ports) EXPECT_EQ(p.rfind("/dev/tty", 0), 0u) << p;
}

TEST(PosixUsbList, OnlyTheCuttersIdsInNumberOrder) {
  FakeTree tree;
  tree.Printer("lp10", "0483", "5448");
  tree.Printer("lp0", "0483", "5448");
  tree.Printer("lp1", "0483", "5449");
  tree.Printer("lp2", "0483", "5448");
  tree.Printer("lp3", "04b8", "5448");
  tree.Node("usb/lp4");  // no sysfs entry
  PosixLink link(tree.Dev(), tree.Sys());
  const UsbEnumeration found = link.EnumUsbCutters();
  EXPECT_EQ(found.failure, UsbEnumeration::Failure::None);
  EXPECT_EQ(found.paths, Under(tree.Dev() / "usb", {"lp0", "lp2", "lp10"}));
}

TEST(PosixUsbList, AtMostTenAreListed) {
  FakeTree tree;
  for (int i = 0; i < 12; ++i) tree.Printer("lp" + std::to_string(i), "0483", "5448");
  const std::vector<std::string> found = ListUsbCutters(tree.Dev(), tree.Sys());
  ASSERT_EQ(found.size(), kMaxListedPorts);
  EXPECT_EQ(found.back(), (tree.Dev() / "usb" / "lp9").string());
  EXPECT_TRUE(ListUsbCutters(tree.Dev() / "none", tree.Sys()).empty());
}

// Reads fd until `want` bytes, or a second without any.
std::string ReadFd(int fd, size_t want) {
  std::string got;
  char buffer[4096];
  while (got.size() < want) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 1000) != 1) break;
    const ssize_t n = read(fd, buffer, std::min(sizeof buffer, want - got.size()));
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
  }
  return got;
}

void DiscardFd(int fd) {
  char buffer[4096];
  pollfd p{fd, POLLIN, 0};
  while (poll(&p, 1, 0) == 1 && read(fd, buffer, sizeof buffer) > 0) {
  }
}

// A pseudo-terminal: the slave is the "serial port", the master the cutter.
class Pty final : public StandInCutter {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
      const char* name = ptsname(master_);
      if (name) slave_ = name;
    }
    // Keep the slave's line open so the master never sees a hang-up.
    if (!slave_.empty()) keep_ = open(slave_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  }
  ~Pty() override {
    if (keep_ >= 0) close(keep_);
    if (master_ >= 0) close(master_);
  }
  bool Ok() const override { return master_ >= 0 && keep_ >= 0; }
  const std::string& Slave() const { return slave_; }
  DeviceHandle Open(LinkPort& link) const override { return link.OpenSerialPort(slave_); }
  std::string Read(size_t want) override { return ReadFd(master_, want); }
  void Discard() override { DiscardFd(master_); }
  bool TellsItsQueue() const override { return false; }

 private:
  int master_ = -1;
  int keep_ = -1;
  std::string slave_;
};

TEST(PosixSerialPort, OpensRawAt38400AndWritesBytesUnchanged) {
  Pty pty;
  if (!pty.Ok()) GTEST_SKIP() << "no pseudo-terminals here";
  PosixLink link;
  const DeviceHandle h = link.OpenSerialPort(pty.Slave());
  ASSERT_TRUE(IsOpen(h));
  termios tio{};
  ASSERT_EQ(tcgetattr(FdOf(h), &tio), 0);
  EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B38400));
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);

  const std::string job = "IN;\nU100,200;\r\nD3,4;\x03\x7f\xff";
  EXPECT_TRUE(link.WritePortBlocking(h, reinterpret_cast<const uint8_t*>(job.data()), job.size()));
  EXPECT_EQ(pty.Read(job.size()), job);
  const uint8_t origin = '<';
  EXPECT_TRUE(link.WritePortTimed(&origin, 1, h));
  EXPECT_EQ(pty.Read(1), "<");

  // The port is ours alone until it is closed.
  const DeviceHandle second = link.OpenSerialPort(pty.Slave());
  EXPECT_EQ(second, kInvalidDevice);
  link.ClosePort(second);
  link.ClosePort(h);
  const DeviceHandle again = link.OpenSerialPort(pty.Slave());
  EXPECT_TRUE(IsOpen(again));
  link.ClosePort(again);
}

TEST(PosixSerialPort, TimedWriteFailsWhenTheCutterTakesNothing) {
  Pty pty;
  if (!pty.Ok()) GTEST_SKIP() << "no pseudo-terminals here";
  PosixLink link;
  const DeviceHandle h = link.OpenSerialPort(pty.Slave());
  ASSERT_TRUE(IsOpen(h));
  // More than the terminal buffers while nobody reads the master.
  ExpectTimedWriteGivesUp(link, h);
  link.ClosePort(h);
}

TEST(PosixSerialPort, WhatIsNoTerminalDoesNotOpen) {
  FakeTree tree;
  tree.Node("ttyS0");
  PosixLink link;
  EXPECT_EQ(link.OpenSerialPort((tree.Dev() / "ttyS0").string()), kInvalidDevice);
  EXPECT_EQ(link.OpenSerialPort((tree.Dev() / "ttyS9").string()), kInvalidDevice);
  const uint8_t b = 0;
  EXPECT_FALSE(link.WritePortBlocking(kInvalidDevice, &b, 1));
  EXPECT_FALSE(link.WritePortTimed(&b, 1, kNoDevice));
}

TEST(PosixUsbPort, WritesReachTheDeviceFile) {
  FakeTree tree;
  tree.Node("usb/lp0");
  const std::string path = (tree.Dev() / "usb" / "lp0").string();
  PosixLink link;
  const DeviceHandle h = link.OpenUsbPort(path);
  ASSERT_TRUE(IsOpen(h));
  EXPECT_EQ(link.OpenUsbPort(path), kInvalidDevice);
  const std::string job = "IN;U0,0;";
  EXPECT_TRUE(link.WritePortBlocking(h, reinterpret_cast<const uint8_t*>(job.data()), job.size()));
  const uint8_t origin = '<';
  EXPECT_TRUE(link.WritePortTimed(&origin, 1, h));
  link.ClosePort(h);
  std::ifstream in(path);
  std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(got, job + "<");
  EXPECT_EQ(link.OpenUsbPort((tree.Dev() / "usb" / "lp5").string()), kInvalidDevice);
}

// A FIFO stands in for a USB cutter: its reader is the cutter, and the bytes
// it has not read yet are the device's queue, which the link can see.
class FifoCutter final : public StandInCutter {
 public:
  FifoCutter() {
    path_ = (tree_.Dev() / "usb" / "lp0").string();
    if (mkfifo(path_.c_str(), 0600) == 0) reader_ = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
  }
  ~FifoCutter() override {
    if (reader_ >= 0) close(reader_);
  }
  bool Ok() const override { return reader_ >= 0; }
  DeviceHandle Open(LinkPort& link) const override { return link.OpenUsbPort(path_); }
  std::string Read(size_t want) override { return ReadFd(reader_, want); }
  void Discard() override { DiscardFd(reader_); }
  bool TellsItsQueue() const override { return true; }

 private:
  FakeTree tree_;
  std::string path_;
  int reader_ = -1;
};

// Aborting from another thread ends a stalled write on a serial port at
// once (a pseudo-terminal's queue is always empty: its drain never stalls).
TEST(PosixSerialPort, AbortEndsAStalledWriteAtOnce) {
  Pty pty;
  if (!pty.Ok()) GTEST_SKIP() << "no pseudo-terminals here";
  PosixLink link;
  const DeviceHandle h = link.OpenSerialPort(pty.Slave());
  ASSERT_TRUE(IsOpen(h));
  ExpectAbortEnds(link, h, [&] { return WriteAll(link, h, std::string(1 << 20, 'x')); });
  link.ClosePort(h);
}

// A pseudo-terminal holds no queue of its own: what was written is already
// in the far end's input. Draining it loses nothing, however slowly the far
// end reads.
TEST(PosixSerialPort, DrainingAPseudoTerminalLosesNothing) {
  Pty pty;
  if (!pty.Ok()) GTEST_SKIP() << "no pseudo-terminals here";
  PosixLink link;
  const DeviceHandle h = link.OpenSerialPort(pty.Slave());
  ASSERT_TRUE(IsOpen(h));
  const std::string job = Job(3500);
  std::string got;
  std::thread reader([&] { got = ReadSlowly(pty, job.size(), 100, 20); });  // 5 kB/s
  ASSERT_TRUE(WriteAll(link, h, job));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(link.DrainPort(h));
  std::printf("drain of a 3.5 kB job on a pseudo-terminal read at 5 kB/s: %lld ms\n",
              static_cast<long long>(MsSince(start)));
  link.ClosePort(h);
  reader.join();
  EXPECT_EQ(got, job);
}

}  // namespace

std::unique_ptr<StandInCutter> MakeUsbStandIn() { return std::make_unique<FifoCutter>(); }

}  // namespace plotsend
