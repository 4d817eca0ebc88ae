// WriteCompensatedCutFile: corner compensation, moved starts and the
// closure overcut, in the bytes the cutter receives.
#include <gtest/gtest.h>

#include <filesystem>

#include "job/cut_writers.h"
#include "job/plt_file.h"
#include "job/writer_test_support.h"

namespace plotsend {
namespace {

using testing::CountOf;
using testing::ReadBack;
using testing::ScratchDir;

// A closed square of side 400 cut counter-clockwise from the origin.
constexpr const char* kSquare = "U0,0;D0,400;D400,400;D400,0;D0,0;";

// The square with blade offset 14 units (0.35 mm), hand-derived. Every
// corner is 90 degrees: F = 0, i0 = 91, 8 arc points at 10..80 degrees, each
// P + 14 (cos, sin) turned into the corner's frame and truncated toward
// zero; y numbers beginning with 3/4/6/7 are transposed.
constexpr const char* kSquareCut =
    "TKN;U0,0;"
    // Start test holds at (400, 0): the start moves 14 units toward it.
    "U0,14;"
    // Corner (400, 0): overshoot (414, 0), arc, (400, 14), next corner.
    "D0,400;D0,414;"
    "D2,413;D3,413;D6,412;D8,410;D10,408;D12,406;D13,404;D13,402;"
    "D14,400;D300,400;"
    // Corner (400, 400): overshoot (400, 414), arc, (386, 400), (0, 400).
    "D300,400;D314,400;"
    "D313,397;D313,395;D312,393;D310,391;D308,389;D306,387;D304,386;D302,386;"
    "D300,386;D300,0;"
    // Corner (0, 400): overshoot (-14, 400), arc, (0, 386), (0, 0).
    "D300,0;D300,-14;"
    "D497,-13;D495,-13;D493,-12;D491,-10;D489,-8;D487,-6;D486,-4;D486,-2;"
    "D486,0;D0,0;"
    // Closing corner (0, 0) toward the first side: ends at (14, 0).
    "D0,0;D-14,0;"
    "D-13,2;D-13,4;D-12,7;D-10,8;D-8,10;D-6,12;D-4,13;D-2,13;"
    "D0,14;"
    // Overcut: 40 units from the moved start.
    "D0,14;D0,54;"
    // Job length 400.
    "U300,0;@";

class CompensatedTest : public ::testing::Test {
 protected:
  std::string Write(const char* plt, double offsetMm = 0.35, double closureMm = 1.0, int32_t jobLength = 400) {
    CPLTFile job;
    job.ParsePlt(plt);
    CutParams params;
    params.jobLength = jobLength;
    params.SetCompensation(offsetMm, closureMm);
    const std::string path = dir_.Path("out.kv3");
    EXPECT_EQ(WriteCompensatedCutFile(job, params, path), 1);
    return ReadBack(path);
  }
  ScratchDir dir_;
};

TEST_F(CompensatedTest, SquareWithBladeOffset) { EXPECT_EQ(Write(kSquare), kSquareCut); }

TEST_F(CompensatedTest, ClosureIsOneMillimetreWheneverThereIsABladeOffset) {
  // 0.1 mm would be 4 units; 5 mm would be 200: with a blade offset both are 40.
  EXPECT_EQ(Write(kSquare, 0.35, 0.1), kSquareCut);
  EXPECT_EQ(Write(kSquare, 0.35, 5.0), kSquareCut);
  CPLTFile job;
  job.ParsePlt(kSquare);
  CutParams params;
  params.SetCompensation(0.35, 5.0);
  EXPECT_EQ(params.compensation.closureLength, 200u);
  ASSERT_EQ(WriteCompensatedCutFile(job, params, dir_.Path("c.kv3")), 1);
  EXPECT_EQ(params.compensation.OvercutLength(), 40u);
}

TEST_F(CompensatedTest, TrailingPenUpGivesTheSameCut) {
  // A job loaded from the work file ends on a pen-up move; one that does not
  // still has its last path cut.
  const std::string withUp = std::string(kSquare) + "U400,0;";
  EXPECT_EQ(Write(withUp.c_str()), kSquareCut);
}

TEST_F(CompensatedTest, WritingTwiceGivesTheSameBytes) {
  CPLTFile job;
  job.ParsePlt(kSquare);
  CutParams params;
  params.jobLength = 400;
  params.SetCompensation(0.35, 1.0);
  const auto before = job.Points();
  ASSERT_EQ(WriteCompensatedCutFile(job, params, dir_.Path("a.kv3")), 1);
  ASSERT_EQ(WriteCompensatedCutFile(job, params, dir_.Path("b.kv3")), 1);
  EXPECT_EQ(ReadBack(dir_.Path("a.kv3")), ReadBack(dir_.Path("b.kv3")));
  EXPECT_EQ(job.Points(), before);
}

TEST_F(CompensatedTest, CornerOfOneHundredFiftyDegreesKeepsTheStart) {
  // At (1000, 0) the path turns toward (1866, 500): F = -866. The corner is
  // compensated (i0 = 151, two arc points) but the start test needs F > -866,
  // so the closed path starts at the origin itself.
  const std::string out = Write("U0,0;D0,1000;D500,1866;D0,0;");
  EXPECT_EQ(out.rfind("TKN;U0,0;U0,0;D0,1000;D0,1014;D2,1013;D3,1013;D6,1012;D500,1866;", 0), 0u) << out;
  // A slightly sharper corner (F = -861) lets the start move 14 units along.
  const std::string sharper = Write("U0,0;D0,1000;D510,1866;D0,0;");
  EXPECT_EQ(sharper.rfind("TKN;U0,0;U0,14;D0,1000;D0,1014;", 0), 0u) << sharper;
}

TEST_F(CompensatedTest, ShortSegmentsSwitchTheCornerOff) {
  // Open path: the corner at (20, 0) has a 20-unit side and is cut plainly;
  // the corner at (20, 400) is compensated and ends at the last point.
  const std::string out = Write("U0,0;D0,20;D400,20;D400,400;");
  EXPECT_EQ(out.rfind("TKN;U0,0;U0,0;D0,20;D300,20;D314,20;", 0), 0u) << out;
  EXPECT_EQ(CountOf(out, "D300,400;"), 1u);  // last point once, not again after the routine
  const std::string tail = "D300,34;D300,400;U300,0;@";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
  // With 21 units the first corner is compensated too.
  const std::string longer = Write("U0,0;D0,21;D400,21;D400,400;");
  EXPECT_EQ(longer.rfind("TKN;U0,0;U0,0;D0,21;D0,35;", 0), 0u) << longer;
}

TEST_F(CompensatedTest, OpenPathEndsOnItsLastPointWhenTheLastCornerIsNotCompensated) {
  // Last corner (400, 0) -> (400, 10): a 10-unit side, so "D" to the last point follows.
  EXPECT_EQ(Write("U0,0;D0,400;D10,400;"), "TKN;U0,0;U0,0;D0,400;D10,400;U300,0;@");
}

TEST_F(CompensatedTest, WithoutBladeOffsetPathsAreCutAsTheyAre) {
  CPLTFile job;
  job.ParsePlt(kSquare);
  CutParams params;
  params.jobLength = 400;
  params.SetCompensation(0.0, 5.0);
  ASSERT_EQ(WriteCompensatedCutFile(job, params, dir_.Path("a.kv3")), 1);
  EXPECT_EQ(ReadBack(dir_.Path("a.kv3")), "TKN;U0,0;U0,0;D0,400;D300,400;D300,0;D0,0;U300,0;@");
  EXPECT_EQ(params.compensation.OvercutLength(), 200u);  // only a blade offset forces 1 mm
}

TEST_F(CompensatedTest, NothingToCompensateWritesNoFile) {
  CPLTFile job;
  job.ParsePlt(kSquare);
  const std::string path = dir_.Path("none.kv3");
  EXPECT_EQ(WriteCompensatedCutFile(job, CutParams{}, path), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CompensatedTest, UnwritablePathIsReportedAsFailure) {
  CPLTFile job;
  job.ParsePlt(kSquare);
  CutParams params;
  params.SetCompensation(0.35, 1.0);
  EXPECT_EQ(WriteCompensatedCutFile(job, params, dir_.Path("missing/dir/out.kv3")), 0);
}

TEST(SetCompensation, MillimetresToUnits) {
  CutParams params;
  EXPECT_EQ(params.SetCompensation(0.35, 0.1), 1);
  EXPECT_EQ(params.compensation.bladeOffset, 14u);
  EXPECT_EQ(params.compensation.closureLength, 40u);
  params.SetCompensation(0.5, 2.51);
  EXPECT_EQ(params.compensation.bladeOffset, 20u);
  EXPECT_EQ(params.compensation.closureLength, 100u);
  params.SetCompensation(-1.0, -1.0);  // never wraps to a huge unsigned offset
  EXPECT_EQ(params.compensation.bladeOffset, 0u);
  EXPECT_EQ(params.compensation.closureLength, 40u);
  params.SetCompensation(1e300, 1e300);
  EXPECT_EQ(params.compensation.bladeOffset, static_cast<uint32_t>(INT32_MAX));
}

}  // namespace
}  // namespace plotsend
