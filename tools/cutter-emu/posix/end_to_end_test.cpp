// cutter-emu as a program: jobs sent to it on 127.0.0.1 and through a
// pseudo-terminal in 99-byte chunks, links that end early, and the limits
// that hold a sender up or cut it off.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cutter-emu/options.h"
#include "cutter-emu/posix/unique_fd.h"
#include "cutter-emu/writer_streams.h"

extern char** environ;

namespace cutter_emu {
namespace {

using testing::JobSetup;
using testing::ReadFile;
using testing::ScratchPath;
using testing::WriterStream;
using namespace std::chrono_literals;

constexpr size_t kChunk = 99;

std::string ReadAll(int fd) {
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  return out;
}

// The program, started with `args`; its first line of output names the endpoint.
class Emulator {
 public:
  explicit Emulator(const std::vector<std::string>& args) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    out_.Reset(out[0]);
    err_.Reset(err[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<std::string> all{CUTTER_EMU_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    endpoint_ = ReadLine();
  }
  ~Emulator() {
    if (pid_ > 0) Wait(0.0);
  }

  const std::string& Endpoint() const { return endpoint_; }
  uint16_t Port() const { return static_cast<uint16_t>(std::atoi(endpoint_.c_str())); }

  // The exit status, or -1 when it had to be stopped after `seconds`.
  int Wait(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
      int status = 0;
      const pid_t r = ::waitpid(pid_, &status, WNOHANG);
      if (r == pid_) {
        pid_ = -1;
        errors_ = ReadAll(err_.Get());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      if (std::chrono::steady_clock::now() >= deadline) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
      }
      std::this_thread::sleep_for(10ms);
    }
  }
  const std::string& Errors() const { return errors_; }
  void Signal(int signal) const { ::kill(pid_, signal); }

 private:
  std::string ReadLine() {
    std::string line;
    char c;
    while (line.size() < 256) {
      pollfd p{out_.Get(), POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0 || ::read(out_.Get(), &c, 1) != 1 || c == '\n') break;
      line += c;
    }
    return line;
  }

  pid_t pid_ = -1;
  UniqueFd out_, err_;
  std::string endpoint_;
  std::string errors_;
};

UniqueFd Connect(uint16_t port, int sendBuffer = 0) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (sendBuffer > 0) ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) fd.Reset();
  return fd;
}

// Writes `bytes` in chunks of 99 as the sender does. False at the first failed write.
bool SendChunks(int fd, std::string_view bytes, bool socket) {
  for (size_t at = 0; at < bytes.size(); at += kChunk) {
    const std::string_view chunk = bytes.substr(at, kChunk);
    for (size_t done = 0; done < chunk.size();) {
      const ssize_t n = socket ? ::send(fd, chunk.data() + done, chunk.size() - done, MSG_NOSIGNAL)
                               : ::write(fd, chunk.data() + done, chunk.size() - done);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
  }
  return true;
}

UniqueFd OpenSlave(const std::string& path, int flags = 0) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | flags));
  termios t{};
  if (fd && ::tcgetattr(fd.Get(), &t) == 0) {
    ::cfmakeraw(&t);
    ::tcsetattr(fd.Get(), TCSANOW, &t);
  }
  return fd;
}

// The up/cut lines a listing should hold for a MarkType 0 job.
std::string ExpectedMoves(const std::vector<plotsend::JobPoint>& points, int32_t jobLength) {
  std::ostringstream s;
  s << "up x=0 y=0\n";
  for (const auto& p : points) s << (p.kind == plotsend::kPenUp ? "up" : "cut") << " x=" << p.x << " y=" << p.y << '\n';
  s << "up x=0 y=" << jobLength << '\n';
  return s.str();
}

std::string MoveLines(const std::string& listing) {
  std::istringstream in(listing);
  std::string out;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("up ", 0) == 0 || line.rfind("cut ", 0) == 0) out += line + '\n';
  }
  return out;
}

std::string SummaryOf(const std::string& listing) {
  const size_t at = listing.rfind("summary ");
  return at == std::string::npos ? "" : listing.substr(at, listing.find('\n', at) - at);
}

constexpr int32_t kJobLength = 7777 - -60;  // maxY - minY of the job below

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    job_ = WriterStream(JobSetup("U0,0;D3000,400;D4000,7000;D-60,6300;U700,700;D7777,3434;"), &points_);
  }
  void TearDown() override {
    for (const std::string& p : files_) std::filesystem::remove(p);
  }
  std::string File(const std::string& name) { return files_.emplace_back(ScratchPath(name)); }
  std::string job_;
  std::vector<plotsend::JobPoint> points_;
  std::vector<std::string> files_;
};

TEST_F(EndToEndTest, JobOverTcpIsDecodedAndDrawn) {
  const std::string log = File("tcp.log"), svg = File("tcp.svg"), png = File("tcp.png");
  Emulator emu({"--tcp", "0", "--idle-timeout", "10", "--log", log, "--svg", svg, "--png", png});
  ASSERT_GT(emu.Port(), 0) << emu.Endpoint();
  UniqueFd c = Connect(emu.Port());
  ASSERT_TRUE(c);
  ASSERT_TRUE(SendChunks(c.Get(), "<" + job_, true));
  EXPECT_EQ(emu.Wait(10), 0) << emu.Errors();
  const std::string listing = ReadFile(log);
  EXPECT_EQ(listing.rfind("job 1\norigin\nannounce\n", 0), 0u) << listing;
  EXPECT_EQ(MoveLines(listing), ExpectedMoves(points_, kJobLength));
  EXPECT_NE(SummaryOf(listing).find("status=complete bytes=" + std::to_string(job_.size() + 1) + " "),
            std::string::npos);
  EXPECT_NE(emu.Errors().find("job 1: complete"), std::string::npos) << emu.Errors();
  EXPECT_NE(ReadFile(svg).find("</svg>"), std::string::npos);
  EXPECT_EQ(ReadFile(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
}

TEST_F(EndToEndTest, JobThroughAPseudoTerminal) {
  const std::string log = File("pty.log");
  Emulator emu({"--pty", "--idle-timeout", "10", "--log", log});
  ASSERT_EQ(emu.Endpoint().rfind("/dev/", 0), 0u) << emu.Endpoint();
  UniqueFd slave = OpenSlave(emu.Endpoint());
  ASSERT_TRUE(slave);
  ASSERT_TRUE(SendChunks(slave.Get(), job_, false));
  slave.Reset();  // the stand-in stays attached until the sender lets go
  EXPECT_EQ(emu.Wait(10), 0) << emu.Errors();
  const std::string listing = ReadFile(log);
  EXPECT_EQ(MoveLines(listing), ExpectedMoves(points_, kJobLength));
  EXPECT_NE(SummaryOf(listing).find(" unknown=0 "), std::string::npos) << listing;
}

TEST_F(EndToEndTest, SenderThatClosesMidJobIsReported) {
  const std::string log = File("closed.log");
  Emulator emu({"--tcp", "0", "--idle-timeout", "10", "--log", log});
  {
    UniqueFd c = Connect(emu.Port());
    ASSERT_TRUE(SendChunks(c.Get(), std::string_view(job_).substr(0, 40), true));
  }
  EXPECT_EQ(emu.Wait(10), 1);
  EXPECT_NE(emu.Errors().find("job 1: incomplete: the sender closed the link after 40 bytes"), std::string::npos)
      << emu.Errors();
  EXPECT_EQ(SummaryOf(ReadFile(log)).rfind("summary status=closed bytes=40 ", 0), 0u);
}

TEST_F(EndToEndTest, IdleTimeOutWithAndWithoutData) {
  {
    Emulator emu({"--tcp", "0", "--idle-timeout", "0.3"});
    EXPECT_EQ(emu.Wait(10), 1);
    EXPECT_NE(emu.Errors().find("job 1: nothing arrived before the idle time-out"), std::string::npos) << emu.Errors();
  }
  const std::string log = File("idle.log");
  Emulator emu({"--pty", "--idle-timeout", "0.3", "--log", log});
  UniqueFd slave = OpenSlave(emu.Endpoint());
  ASSERT_TRUE(SendChunks(slave.Get(), std::string_view(job_).substr(0, 30), false));
  EXPECT_EQ(emu.Wait(10), 1);
  EXPECT_EQ(SummaryOf(ReadFile(log)).rfind("summary status=timeout bytes=30 ", 0), 0u);
}

TEST_F(EndToEndTest, SeveralJobsOnSeveralConnections) {
  const std::string svg = File("many.svg");
  files_.push_back(JobFilePath(svg, 1, 2));
  files_.push_back(JobFilePath(svg, 2, 2));
  Emulator emu({"--tcp", "0", "--idle-timeout", "10", "--jobs", "2", "--svg", svg});
  for (int i = 0; i < 2; ++i) {
    UniqueFd c = Connect(emu.Port());
    ASSERT_TRUE(SendChunks(c.Get(), job_, true));
  }
  EXPECT_EQ(emu.Wait(10), 0) << emu.Errors();
  EXPECT_NE(emu.Errors().find("job 2: complete"), std::string::npos) << emu.Errors();
  EXPECT_NE(ReadFile(files_[files_.size() - 2]).find("</svg>"), std::string::npos);
  EXPECT_NE(ReadFile(files_.back()).find("</svg>"), std::string::npos);
}

TEST_F(EndToEndTest, CloseAfterCutsTheSenderOff) {
  const std::string log = File("drop.log");
  Emulator emu({"--tcp", "0", "--idle-timeout", "10", "--close-after", "150", "--log", log});
  UniqueFd c = Connect(emu.Port());
  std::string plt = "U0,0;";
  for (int i = 1; i <= 300; ++i) plt += "D" + std::to_string(i * 37) + "," + std::to_string(i) + ";";
  const std::string big = WriterStream(JobSetup(plt));
  ASSERT_GT(big.size(), 1000u);
  SendChunks(c.Get(), std::string_view(big).substr(0, 198), true);
  EXPECT_EQ(emu.Wait(10), 1);
  // The link is gone: writing on fails within a few chunks.
  bool failed = false;
  for (int i = 0; i < 20 && !failed; ++i) {
    failed = !SendChunks(c.Get(), std::string_view(big).substr(0, kChunk), true);
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_TRUE(failed);
  EXPECT_EQ(SummaryOf(ReadFile(log)).rfind("summary status=dropped bytes=150 ", 0), 0u);
  EXPECT_NE(emu.Errors().find("dropped after 150 bytes"), std::string::npos) << emu.Errors();
}

TEST_F(EndToEndTest, CloseAfterOnAPseudoTerminalHangsItUp) {
  Emulator emu({"--pty", "--idle-timeout", "10", "--close-after", "20"});
  UniqueFd slave = OpenSlave(emu.Endpoint());
  ASSERT_TRUE(slave);
  SendChunks(slave.Get(), std::string_view(job_).substr(0, 20), false);
  EXPECT_EQ(emu.Wait(10), 1);
  EXPECT_FALSE(SendChunks(slave.Get(), job_, false));  // EIO once the master is gone
}

// Writes without blocking until the link has taken nothing for a while.
size_t SendUntilHeldUp(int fd, std::string_view bytes, bool socket) {
  size_t sent = 0;
  auto idleSince = std::chrono::steady_clock::now();
  while (sent < bytes.size() && std::chrono::steady_clock::now() - idleSince < 500ms) {
    const size_t n = std::min(kChunk, bytes.size() - sent);
    const ssize_t r =
        socket ? ::send(fd, bytes.data() + sent, n, MSG_NOSIGNAL | MSG_DONTWAIT) : ::write(fd, bytes.data() + sent, n);
    if (r > 0) {
      sent += static_cast<size_t>(r);
      idleSince = std::chrono::steady_clock::now();
    } else if (r < 0 && errno != EAGAIN) {
      break;
    } else {
      std::this_thread::sleep_for(5ms);
    }
  }
  return sent;
}

TEST_F(EndToEndTest, StallAfterHoldsTheSenderUpUntilItGivesUp) {
  std::string big;
  for (int i = 0; big.size() < (4u << 20); ++i) big += "D" + std::to_string(i % 997) + ",5;";
  for (const bool socket : {true, false}) {
    const std::string log = File(socket ? "stall-tcp.log" : "stall-pty.log");
    Emulator emu({socket ? "--tcp" : "--pty", socket ? "0" : "--hide-travel", "--stall-after", "100", "--idle-timeout",
                  "20", "--log", log});
    UniqueFd link = socket ? Connect(emu.Port(), 8192) : OpenSlave(emu.Endpoint(), O_NONBLOCK);
    ASSERT_TRUE(link);
    const size_t sent = SendUntilHeldUp(link.Get(), big, socket);
    EXPECT_GE(sent, 100u);
    EXPECT_LT(sent, big.size() / 2) << "the sender was never held up";
    // The sender gives up. A socket's close would queue its end behind the
    // data the emulator no longer takes, so the sender aborts the connection.
    const linger abort{1, 0};
    if (socket) ::setsockopt(link.Get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    link.Reset();
    EXPECT_EQ(emu.Wait(10), 1) << socket;
    EXPECT_EQ(SummaryOf(ReadFile(log)).rfind("summary status=stalled bytes=100 ", 0), 0u) << socket;
    EXPECT_NE(emu.Errors().find("reading stopped after 100 bytes"), std::string::npos) << emu.Errors();
  }
}

TEST_F(EndToEndTest, StalledLinkEndsAtTheIdleTimeOut) {
  const std::string log = File("stall-idle.log");
  Emulator emu({"--tcp", "0", "--stall-after", "10", "--idle-timeout", "0.5", "--log", log});
  UniqueFd c = Connect(emu.Port());
  ASSERT_TRUE(SendChunks(c.Get(), job_, true));  // held by the sockets, never read
  EXPECT_EQ(emu.Wait(10), 1);
  EXPECT_EQ(SummaryOf(ReadFile(log)).rfind("summary status=stalled bytes=10 ", 0), 0u);
}

TEST_F(EndToEndTest, StoppedBySignalStillWritesWhatArrived) {
  const std::string log = File("term.log"), svg = File("term.svg");
  Emulator emu({"--tcp", "0", "--log", log, "--svg", svg});
  UniqueFd c = Connect(emu.Port());
  ASSERT_TRUE(SendChunks(c.Get(), std::string_view(job_).substr(0, 33), true));
  emu.Signal(SIGTERM);  // what the socket already holds still counts
  EXPECT_EQ(emu.Wait(10), 1);
  EXPECT_EQ(SummaryOf(ReadFile(log)).rfind("summary status=interrupted bytes=33 ", 0), 0u);
  EXPECT_NE(ReadFile(svg).find("33 bytes"), std::string::npos);
  EXPECT_NE(emu.Errors().find("stopped by a signal after 33 bytes"), std::string::npos) << emu.Errors();
}

TEST(EndToEndUsageTest, BadCommandLineSaysWhy) {
  Emulator emu({"--tcp", "99999"});
  EXPECT_EQ(emu.Wait(10), 2);
  EXPECT_NE(emu.Errors().find("--tcp: not a port number 0..65535: 99999"), std::string::npos) << emu.Errors();
  EXPECT_NE(emu.Errors().find("usage: cutter-emu"), std::string::npos);
}

}  // namespace
}  // namespace cutter_emu
