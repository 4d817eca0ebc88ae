// WriteCutFile: moves as they are, dashed cutting, write failures.
#include <gtest/gtest.h>

#include "job/cut_writers.h"
#include "job/plt_file.h"
#include "job/writer_test_support.h"

namespace plotsend {
namespace {

using testing::ReadBack;
using testing::ScratchDir;

class CutFileTest : public ::testing::Test {
 protected:
  // MarkType 0, one section: "TKN;U0,0;" + moves + final move by the job
  // length (0 here, so "U0,0;") + "@".
  std::string Write(const char* plt, bool dashed = false, double lineMm = 0, double gapMm = 0) {
    CPLTFile job;
    job.ParsePlt(plt);
    CutParams params;
    params.SetDashedLine(dashed, lineMm, gapMm);
    const std::string path = dir_.Path("out.kv3");
    EXPECT_TRUE(WriteCutFile(job, params, path));
    return ReadBack(path);
  }
  static std::string Framed(const std::string& moves) { return "TKN;U0,0;" + moves + "U0,0;@"; }
  ScratchDir dir_;
};

TEST_F(CutFileTest, MovesInOrderWithYFirstAndTransposed) {
  EXPECT_EQ(Write("U3000,3000;D-3,3467;D7,70;D150,1;"), Framed("U4000,3000;D-3,3467;D6,70;D150,1;"));
}

TEST_F(CutFileTest, FinalMoveUsesTheStoredJobLength) {
  CPLTFile job;
  job.ParsePlt("U0,0;D3500,0;");
  job.ComputeBounds();
  CutParams params;
  params.jobLength = job.JobLength();
  const std::string path = dir_.Path("len.kv3");
  ASSERT_TRUE(WriteCutFile(job, params, path));
  EXPECT_EQ(ReadBack(path), "TKN;U0,0;U0,0;D4500,0;U4500,0;@");
}

TEST_F(CutFileTest, ReplacesAnExistingFile) {
  const std::string path = dir_.Path("old.kv3");
  {
    BufferedWriter old(path);
    old.Write(std::string(5000, 'x'));
    ASSERT_TRUE(old.Close());
  }
  CPLTFile job;
  ASSERT_TRUE(WriteCutFile(job, CutParams{}, path));
  EXPECT_EQ(ReadBack(path), "TKN;U0,0;U0,0;@");
}

TEST_F(CutFileTest, UnwritablePathIsReportedAsFailure) {
  CPLTFile job;
  job.ParsePlt("U0,0;D100,0;");
  EXPECT_FALSE(WriteCutFile(job, CutParams{}, dir_.Path("missing/dir/out.kv3")));
  EXPECT_FALSE(WriteCutFile(job, CutParams{}, dir_.Path("")));  // a directory, not a file
}

// Line 1 mm = 40 units, gap 0.5 mm = 20 units: period 60.
TEST_F(CutFileTest, DashesAlongXWithSolidRemainder) {
  // The first cut (from the pen-up point) stays solid; 100 -> 350 holds
  // four periods (dashes start at 100, 160, 220, 280), then 340 -> 350 solid.
  EXPECT_EQ(Write("U0,0;D0,100;D0,350;", true, 1.0, 0.5), Framed("U0,0;D0,100;"
                                                                 "D0,100;D0,140;U0,160;"
                                                                 "D0,160;D0,200;U0,220;"
                                                                 "D0,220;D0,260;U0,280;"
                                                                 "D0,280;D0,320;U0,340;"
                                                                 "D0,350;"));
}

TEST_F(CutFileTest, DashesAlongYStepTowardTheSecondPoint) {
  // 130 -> 0 holds two periods: dashes 130..90 and 70..30, remainder 10..0.
  // The y numbers are transposed like every other move (70 -> "60", 30 -> "40").
  EXPECT_EQ(Write("U0,0;D130,0;D0,0;", true, 1.0, 0.5), Framed("U0,0;D130,0;"
                                                               "D130,0;D90,0;U60,0;"
                                                               "D60,0;D40,0;U10,0;"
                                                               "D0,0;"));
}

TEST_F(CutFileTest, ExactMultipleOfThePeriodEndsWithAZeroLengthCut) {
  EXPECT_EQ(Write("U0,0;D0,100;D0,220;", true, 1.0, 0.5), Framed("U0,0;D0,100;"
                                                                 "D0,100;D0,140;U0,160;"
                                                                 "D0,160;D0,200;U0,220;"
                                                                 "D0,220;"));
}

TEST_F(CutFileTest, DiagonalShortAndPenUpSegmentsStaySolid) {
  const char* plt = "U0,0;D0,100;D200,300;D200,359;U500,500;D500,900;";
  EXPECT_EQ(Write(plt, true, 1.0, 0.5), Write(plt));
  EXPECT_EQ(Write(plt), Framed("U0,0;D0,100;D200,300;D200,359;U500,500;D500,900;"));
}

TEST_F(CutFileTest, DashesOnlyWhenEnabled) {
  EXPECT_EQ(Write("U0,0;D0,100;D0,350;", false, 1.0, 0.5), Framed("U0,0;D0,100;D0,350;"));
}

TEST_F(CutFileTest, NonPositivePeriodOrNegativePartsCutSolid) {
  const char* plt = "U0,0;D0,100;D0,350;";
  const std::string solid = Framed("U0,0;D0,100;D0,350;");
  EXPECT_EQ(Write(plt, true, 0.0, 0.0), solid);
  EXPECT_EQ(Write(plt, true, 1.0, -1.0), solid);
  EXPECT_EQ(Write(plt, true, -1.0, 0.5), solid);
  EXPECT_EQ(Write(plt, true, 0.01, 0.01), solid);  // both truncate to 0 units
}

TEST_F(CutFileTest, DashesInSectionsKeepTheShiftAndWindow) {
  CPLTFile job;
  job.ParsePlt("U0,0;D0,10;D0,200;TM2;U300,0;D300,10;D300,200;");
  CutParams params;
  params.mark = MarkRef{0, 600, 0, 8, 2};
  params.window = {2, 2};
  params.SetDashedLine(true, 2.0, 1.0);  // 80 + 40: one period in 10 -> 200
  const std::string path = dir_.Path("sec.kv3");
  ASSERT_TRUE(WriteCutFile(job, params, path));
  EXPECT_EQ(ReadBack(path),
            "TB27,0,300,0;TKN;U0,0;"
            "U0,0;D0,10;D0,10;D0,90;U0,130;D0,200;"
            "U400,0;@");
}

}  // namespace
}  // namespace plotsend
