// The corner routine, the start test and the closure recorder on their own.
#include "job/corner_compensation.h"

#include <gtest/gtest.h>

#include <vector>

namespace plotsend {
namespace {

std::vector<CutPoint> Cuts(CutPoint a, CutPoint p, CutPoint b, uint32_t offset, bool closing,
                           bool* compensated = nullptr) {
  const CornerCuts c = CornerRoutine(a, p, b, offset, closing);
  if (compensated) *compensated = c.compensated;
  return std::vector<CutPoint>(c.points.begin(), c.points.begin() + c.count);
}

TEST(CornerRoutine, RightAngleTurningClockwise) {
  // (0, 0) -> (400, 0) -> (400, -400): the arc swings toward -y.
  bool compensated = false;
  const auto cuts = Cuts({0, 0}, {400, 0}, {400, -400}, 14, false, &compensated);
  const std::vector<CutPoint> expected{{400, 0},   {414, 0},   {413, -2},  {413, -4},  {412, -7},  {410, -8},
                                       {408, -10}, {406, -12}, {404, -13}, {402, -13}, {400, -14}, {400, -400}};
  EXPECT_EQ(cuts, expected);
  EXPECT_TRUE(compensated);
}

TEST(CornerRoutine, OneHundredFiftyDegreesIsStillCompensated) {
  // F = -866: i0 = 151, (180 - 151) / 10 = 2 arc points, then G at 30 degrees.
  const auto cuts = Cuts({0, 0}, {1000, 0}, {1866, 500}, 14, false);
  const std::vector<CutPoint> expected{{1000, 0}, {1014, 0}, {1013, 2}, {1013, 4}, {1012, 7}, {1866, 500}};
  EXPECT_EQ(cuts, expected);
}

TEST(CornerRoutine, FlatterCornersAndStraightLinesAreCutPlainly) {
  bool compensated = true;
  EXPECT_EQ(Cuts({0, 0}, {1000, 0}, {2000, 0}, 14, false, &compensated), (std::vector<CutPoint>{{1000, 0}}));
  EXPECT_FALSE(compensated);
  EXPECT_EQ(Cuts({0, 0}, {1000, 0}, {1866, 480}, 14, true).size(), 1u);  // about 151 degrees
}

TEST(CornerRoutine, ShortSidesSwitchItOffUnlessClosing) {
  EXPECT_EQ(Cuts({0, 0}, {20, 0}, {20, 400}, 14, false).size(), 1u);
  EXPECT_EQ(Cuts({20, 0}, {20, 400}, {40, 400}, 14, false).size(), 1u);
  EXPECT_EQ(Cuts({-1, 0}, {20, 0}, {20, 400}, 14, false).size(), 12u);  // 21 units: P, E, 8 arc, G, B
  EXPECT_EQ(Cuts({0, 0}, {20, 0}, {20, 400}, 14, true).size(), 11u);    // closing: no B
}

TEST(CornerRoutine, NoOffsetOrCoincidentPointsOnlyCutToTheCorner) {
  EXPECT_EQ(Cuts({0, 0}, {400, 0}, {400, 400}, 0, false).size(), 1u);
  EXPECT_EQ(Cuts({400, 0}, {400, 0}, {400, 400}, 14, false).size(), 1u);
  EXPECT_EQ(Cuts({0, 0}, {400, 0}, {0, 0}, 14, true).size(), 1u);
}

TEST(CornerRoutine, SharpestCornerStaysInsideItsPointArray) {
  // Nearly a reversal: F = 999, i0 = 3, 17 arc points.
  const auto cuts = Cuts({0, 0}, {1000, 0}, {0, 1}, 14, false);
  EXPECT_EQ(cuts.size(), 21u);
  const auto huge = Cuts({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}, INT32_MAX, false);
  EXPECT_GE(huge.size(), 1u);
}

TEST(StartTest, NeedsASharperCornerThanOneHundredFiftyDegrees) {
  EXPECT_FALSE(StartTest({0, 0}, {1000, 0}, {1866, 500}));  // F = -866
  EXPECT_TRUE(StartTest({0, 0}, {1000, 0}, {1866, 510}));   // F = -861
  EXPECT_TRUE(StartTest({0, 0}, {400, 0}, {400, 400}));
}

TEST(StartTest, RejectsCoincidentPointsAndShortSides) {
  EXPECT_FALSE(StartTest({0, 0}, {0, 0}, {400, 400}));
  EXPECT_FALSE(StartTest({0, 0}, {400, 0}, {0, 0}));
  EXPECT_FALSE(StartTest({380, 0}, {400, 0}, {400, 400}));  // |PA| = 20
  EXPECT_TRUE(StartTest({379, 0}, {400, 0}, {400, 400}));
  EXPECT_FALSE(StartTest({0, 0}, {400, 0}, {400, 20}));  // |PB| = 20
}

TEST(PointToward, TruncatesAndStopsAtTheTarget) {
  EXPECT_EQ(PointToward({0, 0}, {30, 40}, 40), (CutPoint{24, 32}));
  EXPECT_EQ(PointToward({0, 0}, {-30, -40}, 14), (CutPoint{-8, -11}));  // -8.4, -11.2
  EXPECT_EQ(PointToward({0, 0}, {10, 0}, 14), (CutPoint{10, 0}));
  EXPECT_EQ(PointToward({0, 0}, {14, 0}, 14), (CutPoint{14, 0}));
}

TEST(ClosureRecorder, StopsAtTheClosureLength) {
  ClosureRecorder r;
  r.Reset(40);
  r.Record({5, 5});  // the first point as it is
  r.Record({35, 5});
  r.Record({35, 105});  // 100 > 10 left: cut at 10
  r.Record({0, 0});     // full: ignored
  ASSERT_EQ(r.Count(), 3);
  EXPECT_EQ(r.At(0), (CutPoint{5, 5}));
  EXPECT_EQ(r.At(1), (CutPoint{35, 5}));
  EXPECT_EQ(r.At(2), (CutPoint{35, 15}));
  EXPECT_TRUE(r.Full());
  EXPECT_EQ(r.RecordedLength(), 30u);
}

TEST(ClosureRecorder, NothingLeftRepeatsTheLastPoint) {
  ClosureRecorder r;
  r.Reset(40);
  r.Record({0, 0});
  r.Record({40, 0});
  EXPECT_FALSE(r.Full());
  r.Record({40, 5});
  ASSERT_EQ(r.Count(), 3);
  EXPECT_EQ(r.At(2), (CutPoint{40, 0}));
  EXPECT_TRUE(r.Full());
}

TEST(ClosureRecorder, DistancesAreTruncated) {
  ClosureRecorder r;
  r.Reset(40);
  r.Record({0, 0});
  for (int i = 0; i < 3; ++i) r.Record({(i + 1) * 14, (i + 1) * 14});  // 19.8 counts as 19
  EXPECT_EQ(r.RecordedLength(), 38u);
  ASSERT_EQ(r.Count(), 4);                 // the third step (19 > 2 left) is cut short
  EXPECT_EQ(r.At(3), (CutPoint{29, 29}));  // 28 + 2 / sqrt(2) = 29.4
}

TEST(ClosureRecorder, HoldsAtMostFiftyPoints) {
  ClosureRecorder r;
  r.Reset(40);
  for (int i = 0; i < 80; ++i) r.Record({7, 7});  // zero-length steps
  EXPECT_EQ(r.Count(), ClosureRecorder::kCapacity);
  EXPECT_TRUE(r.Full());
  r.Reset(40);
  EXPECT_EQ(r.Count(), 0);
  EXPECT_FALSE(r.Full());
}

}  // namespace
}  // namespace plotsend
