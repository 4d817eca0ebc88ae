// The platform's device links against its stand-in USB cutter: the cases
// every platform shares, and the checks its own device tests borrow.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/stand_in_cutter.h"

namespace plotsend {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

std::string ReadSlowly(StandInCutter& cutter, size_t want, size_t piece, int everyMs, std::atomic<size_t>* count) {
  std::string got;
  while (got.size() < want) {
    const std::string more = cutter.Read(std::min(piece, want - got.size()));
    if (more.empty()) break;
    got += more;
    if (count != nullptr) *count = got.size();
    std::this_thread::sleep_for(milliseconds(everyMs));
  }
  return got;
}

void ExpectTimedWriteGivesUp(LinkPort& link, DeviceHandle handle) {
  const std::vector<uint8_t> flood(1 << 20, 'x');
  const auto start = Clock::now();
  EXPECT_FALSE(link.WritePortTimed(flood.data(), flood.size(), handle));
  const auto took = Clock::now() - start;
  EXPECT_GE(took, milliseconds(900));
  EXPECT_LT(took, milliseconds(3000));
}

void ExpectAbortEnds(LinkPort& link, DeviceHandle handle, const std::function<bool()>& io) {
  std::thread aborter([&] {
    std::this_thread::sleep_for(milliseconds(200));
    link.AbortPortIo(handle);
  });
  const auto start = Clock::now();
  EXPECT_FALSE(io());
  aborter.join();
  EXPECT_LT(MsSince(start), 2000);
  EXPECT_FALSE(WriteAll(link, handle, "x"));
}

std::string Job(size_t n) {
  std::string job;
  while (job.size() < n) job += "PU" + std::to_string(job.size()) + ",0;PD0," + std::to_string(job.size()) + ";";
  job.resize(n);
  return job;
}

bool WriteAll(LinkPort& link, DeviceHandle handle, const std::string& bytes) {
  return link.WritePortBlocking(handle, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

namespace {

// Each case opens the platform's stand-in USB cutter through a link of its own.
class DeviceLink : public ::testing::Test {
 protected:
  // A new stand-in, opened through a new link with these time-outs.
  void Open(int tcpSendTimeoutMs = kTcpSendTimeoutMs, int drainMarginMs = kDrainMarginMs) {
    Close();
    link_ = MakeLinkPort(tcpSendTimeoutMs, drainMarginMs);
    cutter_ = MakeUsbStandIn();
    h_ = cutter_->Ok() ? cutter_->Open(*link_) : kInvalidDevice;
  }
  // Closes the port, then lets the link and the stand-in go.
  void Close() {
    if (link_) link_->ClosePort(h_);
    h_ = kInvalidDevice;
    link_.reset();
    cutter_.reset();
  }
  void TearDown() override { Close(); }

  std::unique_ptr<LinkPort> link_;
  std::unique_ptr<StandInCutter> cutter_;
  DeviceHandle h_ = kInvalidDevice;
};

TEST_F(DeviceLink, WritesReachTheCutter) {
  Open();
  ASSERT_TRUE(cutter_->Ok());
  ASSERT_TRUE(IsOpen(h_));
  const std::string job = "IN;\nU100,200;\r\nD3,4;\x03\xff";
  EXPECT_TRUE(WriteAll(*link_, h_, job));
  EXPECT_EQ(cutter_->Read(job.size()), job);
  const uint8_t origin = '<';
  EXPECT_TRUE(link_->WritePortTimed(&origin, 1, h_));
  EXPECT_EQ(cutter_->Read(1), "<");
}

TEST_F(DeviceLink, TimedWriteFailsWhenTheCutterTakesNothing) {
  Open();
  ASSERT_TRUE(cutter_->Ok());
  ASSERT_TRUE(IsOpen(h_));
  ExpectTimedWriteGivesUp(*link_, h_);
  // The cancelled write leaves the handle usable: whatever of the flood got
  // through is drained, then a new write arrives.
  cutter_->Discard();
  const std::string end = "END";
  EXPECT_TRUE(WriteAll(*link_, h_, end));
  EXPECT_EQ(cutter_->Read(end.size()), end);
}

// The drain returns once the cutter has taken every byte, and not before;
// a cutter that stops taking bytes fails it after the queue's line time
// and the margin (where the link cannot see the queue, after the margin).
TEST_F(DeviceLink, TheDrainWaitsUntilTheCutterTookEveryByte) {
  for (const bool reading : {true, false}) {
    SCOPED_TRACE(reading ? "reading" : "stalled");
    const int marginMs = reading ? 10000 : 300;
    Open(kTcpSendTimeoutMs, marginMs);
    ASSERT_TRUE(cutter_->Ok());
    ASSERT_TRUE(IsOpen(h_));
    const std::string job = Job(3500);
    ASSERT_TRUE(WriteAll(*link_, h_, job));
    std::atomic<size_t> taken = 0;
    std::string got;
    std::thread reader;
    if (reading) reader = std::thread([&] { got = ReadSlowly(*cutter_, job.size(), 100, 20, &taken); });  // 5 kB/s
    const auto start = Clock::now();
    EXPECT_EQ(link_->DrainPort(h_), reading);
    if (reading) {
      EXPECT_GE(taken + 100, job.size());  // at most the piece just read is not counted yet
      reader.join();
      EXPECT_EQ(got, job);
    } else {
      // Nothing left the queue: its line time (911 ms) and the margin.
      EXPECT_GE(MsSince(start), cutter_->TellsItsQueue() ? 1150 : marginMs - 50);
      EXPECT_LT(MsSince(start), 3000);
    }
  }
}

// A USB cutter that stops reading fails the write after the send time-out
// instead of holding the send forever.
TEST_F(DeviceLink, AStalledUsbCutterFailsTheWriteAfterTheSendTimeOut) {
  Open(300);
  ASSERT_TRUE(cutter_->Ok());
  ASSERT_TRUE(IsOpen(h_));
  const auto start = Clock::now();
  EXPECT_FALSE(WriteAll(*link_, h_, std::string(1 << 20, 'x')));
  EXPECT_GE(MsSince(start), 250);
  EXPECT_LT(MsSince(start), 5000);
}

// Aborting from another thread ends a stalled write or drain at once, and
// every later call on the handle fails.
TEST_F(DeviceLink, AbortEndsAStalledWriteOrDrainAtOnce) {
  for (const bool inDrain : {false, true}) {
    SCOPED_TRACE(inDrain ? "drain" : "write");
    Open();
    ASSERT_TRUE(cutter_->Ok());
    ASSERT_TRUE(IsOpen(h_));
    if (inDrain) {
      ASSERT_TRUE(WriteAll(*link_, h_, Job(1000)));
    }
    ExpectAbortEnds(*link_, h_,
                    [&] { return inDrain ? link_->DrainPort(h_) : WriteAll(*link_, h_, std::string(1 << 20, 'x')); });
  }
}

}  // namespace
}  // namespace plotsend
