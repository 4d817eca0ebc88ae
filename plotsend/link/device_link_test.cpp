// The platform's device links against its stand-in USB cutter: the cases
// every platform shares, and the checks its own device tests borrow.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "stand_in_cutter.h"

namespace plotsend {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

std::string ReadSlowly(StandInCutter& cutter, size_t want, size_t piece, int everyMs,
                       std::atomic<size_t>* count) {
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

TEST(DeviceLink, WritesReachTheCutter) {
  const auto cutter = MakeUsbStandIn();
  ASSERT_TRUE(cutter->Ok());
  const auto link = MakeLinkPort();
  const DeviceHandle h = cutter->Open(*link);
  ASSERT_TRUE(IsOpen(h));
  const std::string job = "IN;\nU100,200;\r\nD3,4;\x03\xff";
  EXPECT_TRUE(WriteAll(*link, h, job));
  EXPECT_EQ(cutter->Read(job.size()), job);
  const uint8_t origin = '<';
  EXPECT_TRUE(link->WritePortTimed(&origin, 1, h));
  EXPECT_EQ(cutter->Read(1), "<");
  link->ClosePort(h);
}

TEST(DeviceLink, TimedWriteFailsWhenTheCutterTakesNothing) {
  const auto cutter = MakeUsbStandIn();
  ASSERT_TRUE(cutter->Ok());
  const auto link = MakeLinkPort();
  const DeviceHandle h = cutter->Open(*link);
  ASSERT_TRUE(IsOpen(h));
  ExpectTimedWriteGivesUp(*link, h);
  // The cancelled write leaves the handle usable: whatever of the flood got
  // through is drained, then a new write arrives.
  cutter->Discard();
  const std::string end = "END";
  EXPECT_TRUE(WriteAll(*link, h, end));
  EXPECT_EQ(cutter->Read(end.size()), end);
  link->ClosePort(h);
}

// The drain returns once the cutter has taken every byte, and not before;
// a cutter that stops taking bytes fails it after the queue's line time
// and the margin (where the link cannot see the queue, after the margin).
TEST(DeviceLink, TheDrainWaitsUntilTheCutterTookEveryByte) {
  for (const bool reading : {true, false}) {
    SCOPED_TRACE(reading ? "reading" : "stalled");
    const auto cutter = MakeUsbStandIn();
    ASSERT_TRUE(cutter->Ok());
    const int marginMs = reading ? 10000 : 300;
    const auto link = MakeLinkPort(kTcpSendTimeoutMs, marginMs);
    const DeviceHandle h = cutter->Open(*link);
    ASSERT_TRUE(IsOpen(h));
    const std::string job = Job(3500);
    ASSERT_TRUE(WriteAll(*link, h, job));
    std::atomic<size_t> taken = 0;
    std::string got;
    std::thread reader;
    if (reading) reader = std::thread([&] { got = ReadSlowly(*cutter, job.size(), 100, 20, &taken); });  // 5 kB/s
    const auto start = Clock::now();
    EXPECT_EQ(link->DrainPort(h), reading);
    if (reading) {
      EXPECT_GE(taken + 100, job.size());  // at most the piece just read is not counted yet
      reader.join();
      EXPECT_EQ(got, job);
    } else {
      // Nothing left the queue: its line time (911 ms) and the margin.
      EXPECT_GE(MsSince(start), cutter->TellsItsQueue() ? 1150 : marginMs - 50);
      EXPECT_LT(MsSince(start), 3000);
    }
    link->ClosePort(h);
  }
}

// A USB cutter that stops reading fails the write after the send time-out
// instead of holding the send forever.
TEST(DeviceLink, AStalledUsbCutterFailsTheWriteAfterTheSendTimeOut) {
  const auto cutter = MakeUsbStandIn();
  ASSERT_TRUE(cutter->Ok());
  const auto link = MakeLinkPort(300);
  const DeviceHandle h = cutter->Open(*link);
  ASSERT_TRUE(IsOpen(h));
  const auto start = Clock::now();
  EXPECT_FALSE(WriteAll(*link, h, std::string(1 << 20, 'x')));
  EXPECT_GE(MsSince(start), 250);
  EXPECT_LT(MsSince(start), 5000);
  link->ClosePort(h);
}

// Aborting from another thread ends a stalled write or drain at once, and
// every later call on the handle fails.
TEST(DeviceLink, AbortEndsAStalledWriteOrDrainAtOnce) {
  for (const bool inDrain : {false, true}) {
    SCOPED_TRACE(inDrain ? "drain" : "write");
    const auto cutter = MakeUsbStandIn();
    ASSERT_TRUE(cutter->Ok());
    const auto link = MakeLinkPort();
    const DeviceHandle h = cutter->Open(*link);
    ASSERT_TRUE(IsOpen(h));
    if (inDrain) {
      ASSERT_TRUE(WriteAll(*link, h, Job(1000)));
    }
    ExpectAbortEnds(*link, h, [&] {
      return inDrain ? link->DrainPort(h) : WriteAll(*link, h, std::string(1 << 20, 'x'));
    });
    link->ClosePort(h);
  }
}

}  // namespace
}  // namespace plotsend
