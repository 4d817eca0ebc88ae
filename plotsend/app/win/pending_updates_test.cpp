#include "app/win/pending_updates.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace plotsend::win32 {
namespace {

TEST(PendingUpdates, OneWakeUpUntilTakenAndTheLatestTextWins) {
  PendingUpdates pending;
  EXPECT_TRUE(pending.SetStatusText("99"));
  EXPECT_FALSE(pending.SetStatusText("198"));
  EXPECT_FALSE(pending.Step());
  EXPECT_FALSE(pending.Step());
  const ProgressUpdate update = pending.Take();
  EXPECT_EQ(update.statusText, "198");
  EXPECT_EQ(update.steps, 2u);
  EXPECT_FALSE(update.range.has_value());

  EXPECT_TRUE(pending.Take().Empty());
  EXPECT_TRUE(pending.Step());  // taken: the next store wakes the window again
}

TEST(PendingUpdates, ANewRangeDropsTheStepsBeforeIt) {
  PendingUpdates pending;
  pending.Step();
  pending.Step();
  pending.SetRange(5);
  pending.Step();
  const ProgressUpdate update = pending.Take();
  EXPECT_EQ(update.range, 5u);
  EXPECT_EQ(update.steps, 1u);
  EXPECT_FALSE(update.statusText.has_value());
}

TEST(PendingUpdates, ALostWakeUpIsAskedForAgain) {
  PendingUpdates pending;
  EXPECT_TRUE(pending.SetStatusText("a"));
  pending.WakeUpLost();
  EXPECT_TRUE(pending.SetStatusText("b"));
  EXPECT_EQ(pending.Take().statusText, "b");
}

// A worker that stores as fast as it can while the window takes now and
// then: no step is lost, the last text arrives, and there is never more
// than one wake-up outstanding.
TEST(PendingUpdates, NothingIsLostBetweenAWorkerAndTheWindow) {
  constexpr uint32_t kSteps = 200000;
  PendingUpdates pending;
  std::atomic<int> outstanding = 0;
  std::atomic<int> mostOutstanding = 0;
  std::thread worker([&] {
    for (uint32_t i = 1; i <= kSteps; ++i) {
      if (pending.Step()) {
        const int now = ++outstanding;
        if (now > mostOutstanding) mostOutstanding = now;
      }
      if (i % 1000 == 0 && pending.SetStatusText(std::to_string(i))) ++outstanding;
    }
  });
  uint64_t steps = 0;
  std::string text;
  const auto take = [&] {
    ProgressUpdate update = pending.Take();
    steps += update.steps;
    if (update.statusText) text = *update.statusText;
  };
  while (steps < kSteps / 2) {
    if (outstanding > 0) {
      --outstanding;  // the window handles the wake-up it was sent
      take();
    }
    std::this_thread::yield();
  }
  worker.join();
  take();
  EXPECT_EQ(steps, kSteps);
  EXPECT_EQ(text, std::to_string(kSteps));
  EXPECT_LE(mostOutstanding.load(), 1);
}

}  // namespace
}  // namespace plotsend::win32
