#include "app/send_job.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plotsend {
namespace {

struct Recorder : SendProgress {
  void Start(uint32_t r) override { range = r; }
  void Step() override {
    ++steps;
    stepAtCount.push_back(counts.size());
  }
  void Count(uint64_t shown) override { counts.push_back(shown); }
  uint32_t range = 0;
  int steps = 0;
  std::vector<size_t> stepAtCount;  // how many chunks had gone out at each step
  std::vector<uint64_t> counts;
};

struct SendRun {
  explicit SendRun(size_t size, int failAt = -1, int cancelAt = -1) : job(size) {
    for (size_t i = 0; i < size; ++i) job[i] = static_cast<uint8_t>(i * 7);
    outcome = SendJob(
        job,
        [&](const uint8_t* b, size_t n) {
          if (static_cast<int>(chunks.size()) == cancelAt) cancel = true;
          if (static_cast<int>(chunks.size()) == failAt) return false;
          chunks.push_back(n);
          received.insert(received.end(), b, b + n);
          return true;
        },
        progress, cancel);
  }
  std::vector<uint8_t> job, received;
  std::vector<size_t> chunks;
  Recorder progress;
  std::atomic<bool> cancel = false;
  SendOutcome outcome = SendOutcome::Failed;
};

TEST(SendJob, ChunksCountsAndRangeOfSmallJobs) {
  SendRun r250(250);
  EXPECT_EQ(r250.outcome, SendOutcome::Finished);
  EXPECT_EQ(r250.chunks, (std::vector<size_t>{99, 99, 52}));
  EXPECT_EQ(r250.received, r250.job);
  EXPECT_EQ(r250.progress.counts, (std::vector<uint64_t>{99, 198, 297}));
  EXPECT_EQ(r250.progress.range, 1u);
  EXPECT_EQ(r250.progress.steps, 0);

  EXPECT_EQ(SendRun(99).chunks, (std::vector<size_t>{99}));
  EXPECT_EQ(SendRun(100).chunks, (std::vector<size_t>{99, 1}));
  SendRun empty(0);
  EXPECT_EQ(empty.outcome, SendOutcome::Finished);
  EXPECT_TRUE(empty.chunks.empty());
  EXPECT_EQ(empty.progress.range, 1u);
}

TEST(SendJob, OneStepPerKilobyte) {
  SendRun r(5000);
  EXPECT_EQ(r.progress.range, 5u);
  EXPECT_EQ(r.progress.steps, 4);
  // Each step comes with the first chunk that starts at or past the next
  // 1024 bytes: chunk 11 starts at 1089, 21 at 2079, 32 at 3168, 42 at 4158.
  EXPECT_EQ(r.progress.stepAtCount, (std::vector<size_t>{11, 21, 32, 42}));
  EXPECT_EQ(r.received, r.job);
}

TEST(SendJob, TheRangeDoesNotWrapForBigJobs) {
  // 70 MiB: the range no longer fits 16 bits.
  SendRun r(size_t{70} << 20);
  EXPECT_EQ(r.progress.range, (70u << 10) + 1);
  EXPECT_EQ(r.progress.steps, (70 << 10) - 1);
}

TEST(SendJob, AFailedChunkStopsTheSend) {
  SendRun r(1000, 3);
  EXPECT_EQ(r.outcome, SendOutcome::Failed);
  EXPECT_EQ(r.chunks.size(), 3u);
  EXPECT_EQ(r.progress.counts.size(), 3u);  // the failed chunk is not counted
}

TEST(SendJob, CancelTakesEffectAfterTheChunkInProgress) {
  SendRun r(1000, -1, 2);
  EXPECT_EQ(r.outcome, SendOutcome::Cancelled);
  EXPECT_EQ(r.chunks.size(), 3u);
  // A cancel during the last chunk comes too late: everything went out.
  SendRun late(250, -1, 2);
  EXPECT_EQ(late.outcome, SendOutcome::Finished);
  EXPECT_EQ(late.received, late.job);
}

}  // namespace
}  // namespace plotsend
