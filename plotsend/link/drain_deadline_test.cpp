#include "link/drain_deadline.h"

#include <gtest/gtest.h>

namespace plotsend {
namespace {

using std::chrono::milliseconds;

TEST(DrainDeadline, TheQueuesLineTimePlusTheMarginCountedAgainWhenItShrinks) {
  EXPECT_EQ(LineTimeMs(0), 0);
  EXPECT_EQ(LineTimeMs(3840), 1000);  // 38400 baud, 10 bits a byte
  EXPECT_EQ(LineTimeMs(3500), 911);

  const DrainDeadline::Clock::time_point t0{};
  DrainDeadline d(3840, 500, t0);
  EXPECT_FALSE(d.Expired(t0 + milliseconds(1499)));
  EXPECT_TRUE(d.Expired(t0 + milliseconds(1500)));
  EXPECT_EQ(d.MsLeft(t0, 10), 10);
  EXPECT_EQ(d.MsLeft(t0 + milliseconds(1400), 1000), 100);
  EXPECT_EQ(d.MsLeft(t0 + milliseconds(1600), 1000), 0);

  d.Seen(3840, t0 + milliseconds(1400));  // nothing left the queue
  EXPECT_TRUE(d.Expired(t0 + milliseconds(1500)));
  d.Seen(384, t0 + milliseconds(1400));  // bytes left: 100 ms of line time and the margin from now
  EXPECT_FALSE(d.Expired(t0 + milliseconds(1999)));
  EXPECT_TRUE(d.Expired(t0 + milliseconds(2000)));
  d.Seen(1000, t0 + milliseconds(1900));  // a queue that grows buys no time
  EXPECT_TRUE(d.Expired(t0 + milliseconds(2000)));
  d.Seen(999, t0 + milliseconds(1900));
  EXPECT_FALSE(d.Expired(t0 + milliseconds(2000)));

  // A port that cannot tell its queue gets the margin alone.
  EXPECT_TRUE(DrainDeadline(0, 300, t0).Expired(t0 + milliseconds(300)));
  EXPECT_FALSE(DrainDeadline(0, 300, t0).Expired(t0 + milliseconds(299)));
}

}  // namespace
}  // namespace plotsend
