#include "job/multi_section.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace plotsend {
namespace {

namespace fs = std::filesystem;

std::string Sections(std::string_view source, int32_t sections) {
  CPltMultiSection stage;
  stage.SetSectionCount(sections);
  std::string out;
  EXPECT_TRUE(stage.Transform(source, out));
  return out;
}

// --- reading and the quarter turn (one section) ---

TEST(MultiSectionRead, PenDownAfterPenUpStartsAtThePenUpPoint) {
  // Records before the turn: U(0,0) D(0,0) D(100,0); turned (b - 0, 100 - a).
  EXPECT_EQ(Sections("PU0,0;PD0,0;PD100,0;", 1), "U0,100;D0,100;D0,0;@");
  // The pen-up point is repeated as the first cutting move.
  EXPECT_EQ(Sections("PU0,0;PD50,50;", 1), "U0,50;D0,50;D50,0;@");
}

TEST(MultiSectionRead, PenSelectionPrecedesItsRecord) {
  EXPECT_EQ(Sections("SP3;PU10,10;", 1), "SP3;U0,0;@");
  // Only the next record carries it; a later selection replaces an earlier
  // one; digits outside 1..8 are ignored.
  EXPECT_EQ(Sections("SP2;SP4;PU0,0;PU0,5;SP9;PU0,7;", 1), "SP4;U0,0;U5,0;U7,0;@");
  // Between PU and PD it lands on the repeated pen-up point.
  EXPECT_EQ(Sections("PU0,0;SP5;PD0,5;", 1), "U0,0;SP5;D0,0;D5,0;@");
}

TEST(MultiSectionRead, QuarterTurnOfASmallDrawing) {
  // a spans 100..400, b spans 200..700: (a, b) -> (b - 200, 400 - a).
  EXPECT_EQ(Sections("IN;SP1;PU100,200;PD300,200,300,500;PU400,600;SP2;PD400,700;PU;", 1),
            "SP1;U0,300;D0,300;D0,100;D300,100;U400,0;SP2;D400,0;D500,0;@");
}

TEST(MultiSectionRead, CommandSplittingAndIgnoredCommands) {
  // CR/LF are not part of commands, even inside them.
  EXPECT_EQ(Sections("PU0,0;\r\nP\r\nU5,\n7;\r\n", 1), "U0,5;U7,0;@");
  // Short commands, other commands and bytes after the last ";" are dropped.
  EXPECT_EQ(Sections("IN;PA;PU;PD;PU1;XPU5,5;PA5,5;pu5,5;PU0,0;PU9,9", 1), "U0,0;@");
  // Several pairs in one command.
  EXPECT_EQ(Sections("PU0,0,3,4;", 1), "U0,3;U4,0;@");
}

TEST(MultiSectionRead, PairStateMachine) {
  // Letters are skipped inside numbers: "1A2" reads 12.
  EXPECT_EQ(Sections("PU0,0;PU1A2,3;", 1), "U0,12;U3,0;@");
  // A leading blank flips to the second number at once: the pair is (0, 10)
  // and "20" opens a pair that ";" does not complete.
  EXPECT_EQ(Sections("PU0,20;PU 10,20;", 1), "U10,0;U0,0;@");
  // Negative numbers: (-5, -7) and (3, 4) turn to (b + 7, 3 - a).
  EXPECT_EQ(Sections("PU-5,-7;PU3,4;", 1), "U0,8;U11,0;@");
  // "-" alone reads 0; "5-3" reads 5; "--4" reads 0.
  EXPECT_EQ(Sections("PU0,0;PU-,5-3;PU--4,1;", 1), "U0,0;U5,0;U1,0;@");
}

TEST(MultiSectionRead, DuplicateMoves) {
  // Pen-ups are always kept; repeated cutting moves are not.
  EXPECT_EQ(Sections("PU5,5;PU5,5;", 1), "U0,0;U0,0;@");
  EXPECT_EQ(Sections("PU0,0;PD10,0;PD10,0;PD20,0;PD20,0,20,0;", 1), "U0,20;D0,20;D0,10;D0,0;@");
  // A drawing that starts cutting without a pen-up keeps its moves.
  EXPECT_EQ(Sections("PD5,5;PD5,5;PD5,9;", 1), "D0,0;D4,0;@");
}

TEST(MultiSectionRead, HugeNumbersSaturateAndTheTurnDoesNotOverflow) {
  // Numbers beyond int32 saturate; b - min b and max a - a then reach
  // 2^32 - 1 and saturate instead of wrapping.
  EXPECT_EQ(Sections("PU99999999999,-99999999999;PU-99999999999,99999999999;", 1), "U0,0;U2147483647,2147483647;@");
  EXPECT_EQ(Sections("PU2147483647,-2147483648;PU-2147483648,2147483647;", 1), "U0,0;U2147483647,2147483647;@");
  // Nine digits and ten (with leading zeros) read alike, either sign.
  EXPECT_EQ(Sections("PU0,0;PU999999999,-1234567890;PU-0000000012,0000000034;", 1),
            "U1234567890,999999999;U0,0;U1234567924,1000000011;@");
}

TEST(MultiSectionRead, DenseInputIsNotLimitedByFileLength) {
  // 4 bytes per pair: far more records than file length / 6.
  std::string source = "PU";
  for (int i = 0; i < 10000; ++i) source += "1,2,";
  source += ";";
  std::string expected;
  for (int i = 0; i < 10000; ++i) expected += "U0,0;";
  expected += "@";
  EXPECT_EQ(Sections(source, 1), expected);
}

TEST(MultiSectionRead, EmptyAndNonPositiveSectionCounts) {
  EXPECT_EQ(Sections("", 1), "@");
  EXPECT_EQ(Sections("IN;SP1;", 1), "@");
  EXPECT_EQ(Sections("PU0,0;PD0,5;", 0), "U0,0;D0,0;D5,0;@");
  EXPECT_EQ(Sections("PU0,0;PD0,5;", -7), "U0,0;D0,0;D5,0;@");
}

// --- bands ---
//
// The band drawings below use a frame: an anchor pen-up at a' = 0 and a
// pen-up at a' = 10000, so with two sections the boundary is at 5000.

TEST(MultiSectionBands, PathReaching800PastTheBoundaryStaysInTheFirstBand) {
  EXPECT_EQ(Sections("PU0,0;PD0,2000;PU100,4000;PD100,5800;PU0,10000;", 2),
            "IN;U0,100;D0,100;D2000,100;U4000,0;D4000,0;D5800,0;TM2;U10000,100;@;");
}

TEST(MultiSectionBands, OverhangRules) {
  // Reaching exactly 1000 past the boundary: whole in the first band.
  EXPECT_EQ(Sections("PU0,0;PU100,4000;PD100,6000;PU0,10000;", 2),
            "IN;U0,100;U4000,0;D4000,0;D6000,0;TM2;U10000,100;@;");
  // 1001 past, but starting exactly 1000 before: whole in the second band,
  // ahead of the frame's later pen-up.
  EXPECT_EQ(Sections("PU0,0;PU100,4000;PD100,6001;PU0,10000;", 2),
            "IN;U0,100;TM2;U4000,0;D4000,0;D6001,0;U10000,100;@;");
  // 1001 past and 1001 before: cut at the boundary.
  EXPECT_EQ(Sections("PU0,0;PU100,3999;PD100,6001;PU0,10000;", 2),
            "IN;U0,100;U3999,0;D3999,0;D5000,0;TM2;U5000,0;D6001,0;U10000,100;@;");
}

TEST(MultiSectionBands, CutPointsRisingAndFalling) {
  // Rising a' 3999 -> 6003 with b' 70 -> 0: b' = 0 - (0 - 70) * 1003 / 2004
  // = 0 - (-35) = 35 (toward zero; flooring would give 36).
  EXPECT_EQ(Sections("PU0,0;PU30,3999;PD100,6003;PU0,10000;", 2),
            "IN;U0,100;U3999,70;D3999,70;D5000,35;TM2;U5000,35;D6003,0;U10000,100;@;");
  // Falling a' 6003 -> 3999 with b' 0 -> 70: b' = 0 - (0 - 70) * 1003 / 2004
  // = 35. The first piece lies in the second band and is written there.
  EXPECT_EQ(Sections("PU0,0;PU100,6003;PD30,3999;PU0,10000;", 2),
            "IN;U0,100;U5000,35;D3999,70;TM2;U6003,0;D6003,0;D5000,35;U10000,100;@;");
  // Product before division: 70 * 1003 / 2004 = 35, where 70 * (1003 / 2004)
  // would give 0 and a point at b' = 70.
  EXPECT_EQ(Sections("PU0,0;PU100,3999;PD30,6003;PU0,10000;", 2),
            "IN;U0,100;U3999,0;D3999,0;D5000,35;TM2;U5000,35;D6003,70;U10000,100;@;");
}

TEST(MultiSectionBands, PathAcrossSeveralBandsAndTheRemainder) {
  // E = 10003, four bands of 2500; the last one also takes the 3 left over.
  // The long path is cut at 2500, 5000 and 7500: b' = 980 * (9900 - B) / 9800.
  EXPECT_EQ(Sections("PU0,0;PU0,100;PD980,9900;PU0,10001;PD0,10003;", 4),
            "IN;U0,980;U100,980;D100,980;D2500,740;TM2;U2500,740;D5000,490;TM3;U5000,490;"
            "D7500,240;TM4;U7500,240;D9900,0;U10001,980;D10001,980;D10003,980;@;");
}

TEST(MultiSectionBands, PointsOnTheBoundaryEndOnePieceAndStartTheNext) {
  // Passing through (5000, 10): no point inserted, the point is shared.
  EXPECT_EQ(Sections("PU20,0;PU20,3000;PD10,5000;PD0,7000;PU20,10000;", 2),
            "IN;U0,0;U3000,0;D3000,0;D5000,10;TM2;U5000,10;D7000,20;U10000,0;@;");
  // Running along the boundary stays in the open piece (no division for a
  // segment parallel to it).
  EXPECT_EQ(Sections("PU50,0;PU50,3000;PD50,5000;PD0,5000;PD0,7000;PU50,10000;", 2),
            "IN;U0,0;U3000,0;D3000,0;D5000,0;D5000,50;TM2;U5000,50;D7000,50;U10000,0;@;");
  // Starting on the boundary and running along it: those moves join the
  // piece of the band the path then goes into.
  EXPECT_EQ(Sections("PU60,0;PU60,5000;PD10,5000;PD10,3000;PD0,7000;PU60,10000;", 2),
            "IN;U0,0;U5000,0;D5000,0;D5000,50;D3000,50;D5000,55;TM2;U5000,55;D7000,60;U10000,0;@;");
}

TEST(MultiSectionBands, PiecesAlwaysStartWithAPenUpInTheirBand) {
  // A zig-zag crossing the boundary four times: every piece opens with U on
  // the boundary and the bands collect their pieces in walk order.
  EXPECT_EQ(Sections("PU0,0;PU0,3000;PD0,7000;PD0,3000;PD0,7000;PU0,10000;", 2),
            "IN;U0,0;U3000,0;D3000,0;D5000,0;U5000,0;D3000,0;D5000,0;"
            "TM2;U5000,0;D7000,0;D5000,0;U5000,0;D7000,0;U10000,0;@;");
}

TEST(MultiSectionBands, FallingPathAcrossSeveralBands) {
  // The path of the test above run backwards: b' = 0 - (0 - 980) * (9900 - B) / 9800
  // at each boundary, and every band writes its piece from the upper boundary down.
  EXPECT_EQ(Sections("PU0,0;PU980,9900;PD0,100;PU0,10001;PD0,10003;", 4),
            "IN;U0,980;U2500,740;D100,980;TM2;U5000,490;D2500,740;TM3;U7500,240;D5000,490;"
            "TM4;U9900,0;D9900,0;D7500,240;U10001,980;D10001,980;D10003,980;@;");
}

TEST(MultiSectionBands, ZigzagAcrossEveryBandGivesEachBandOnePiecePerSegment) {
  // E = 100000 in 50 bands of 2000. Three segments between a' = 999 and
  // 99001 cross all 49 inner boundaries; b' is 0 throughout.
  const std::string got = Sections("PU0,0;PU0,100000;PU0,999;PD0,99001;PD0,999;PD0,99001;", 50);
  auto at = [](char kind, int a) { return std::string(1, kind) + std::to_string(a) + ",0;"; };
  std::string want = "IN;U0,0;U999,0;D999,0;D2000,0;U2000,0;D999,0;D2000,0;";
  for (int k = 1; k < 49; ++k) {
    const int lo = 2000 * k, hi = lo + 2000;
    want += "TM" + std::to_string(k + 1) + ";";
    want += at('U', lo) + at('D', hi) + at('U', hi) + at('D', lo) + at('U', lo) + at('D', hi);
  }
  want += "TM50;U100000,0;U98000,0;D99001,0;D98000,0;U98000,0;D99001,0;@;";
  EXPECT_EQ(got, want);
}

// A cut path of several hundred records that stays in one band for long
// stretches: each band's walk passes over the stretches in the other band
// as whole blocks of records, wherever the path starts in the record list.
TEST(MultiSectionBands, LongPathStretchesInOtherBandsAreSkippedExactly) {
  // Turned (a', b') to source: a = 1000 - b', b = a' (the frame fixes
  // max a = 1000 and min b = 0); two bands meeting at a' = 5000.
  auto src = [](char pen, int a, int b) {
    return std::string("P") + pen + std::to_string(1000 - b) + "," + std::to_string(a) + ";";
  };
  auto out = [](char kind, int a, int b) {
    return std::string(1, kind) + std::to_string(a) + "," + std::to_string(b) + ";";
  };
  std::string path = src('U', 4000, 0);
  std::string band0 = out('U', 4000, 0) + out('D', 4000, 0) + out('D', 5000, 0);
  std::string band1 = out('U', 5000, 0);
  for (int i = 0; i <= 200; ++i) {  // in the second band, ending at (6000, 200)
    path += src('D', 6000 + 2000 * (i % 2), i);
    band1 += out('D', 6000 + 2000 * (i % 2), i);
  }
  path += src('D', 4000, 200);
  band1 += out('D', 5000, 200);
  band0 += out('U', 5000, 200) + out('D', 4000, 200);
  for (int j = 0; j <= 150; ++j) {  // back in the first band
    path += src('D', 1000 + 2000 * (j % 2), 200 + j);
    band0 += out('D', 1000 + 2000 * (j % 2), 200 + j);
  }
  // Pen-ups before the path (whole paths at a' = 0) shift its records
  // through every position relative to the blocks.
  for (int shift = 0; shift <= 64; ++shift) {
    std::string before, written;
    for (int s = 0; s < shift; ++s) {
      before += src('U', 0, 0);
      written += out('U', 0, 0);
    }
    const std::string source = src('U', 0, 0) + src('U', 10000, 0) + before + path;
    EXPECT_EQ(Sections(source, 2), "IN;U0,0;" + written + band0 + "TM2;U10000,0;" + band1 + "@;") << "shift " << shift;
  }
}

TEST(MultiSectionBands, WholeAndCutPathsKeepTheirListOrderInEveryBand) {
  // Three bands of 4000 over E = 12000 (frame). Whole paths in the middle
  // band (w1, w2, w3) interleave with two cut paths (c1 from 1000 to 11000
  // and c2 from 11000 down to 1000); the middle band lists them as they
  // come: w1, c1, w2, c2, w3.
  const std::string source =
      "PU0,0;PU0,12000;"
      "PU0,5000;PD0,6000;"   // w1
      "PU0,1000;PD0,11000;"  // c1
      "PU0,5500;PD0,6500;"   // w2
      "PU0,11000;PD0,1000;"  // c2
      "PU0,7000;PD0,7500;";  // w3
  EXPECT_EQ(Sections(source, 3),
            "IN;U0,0;U1000,0;D1000,0;D4000,0;U4000,0;D1000,0;"
            "TM2;U5000,0;D5000,0;D6000,0;U4000,0;D8000,0;U5500,0;D5500,0;D6500,0;U8000,0;D4000,0;"
            "U7000,0;D7000,0;D7500,0;"
            "TM3;U12000,0;U8000,0;D11000,0;U11000,0;D11000,0;D8000,0;@;");
}

TEST(MultiSectionBands, HugeCoordinatesInterpolateWithoutOverflow) {
  // Turned: anchor (0, 2^31-1), path (1, 2^31-1) -> (2^31-1, 0); E = 2^31-1,
  // w = 1073741823. b' = 0 - (0 - 2147483647) * 1073741824 / 2147483646,
  // a product near 2^61, truncated to 1073741824.
  EXPECT_EQ(Sections("PU-2147483648,-2147483648;PU-2147483648,-2147483647;PD2147483647,2147483647;", 2),
            "IN;U0,2147483647;U1,2147483647;D1,2147483647;D1073741823,1073741824;"
            "TM2;U1073741823,1073741824;D2147483647,0;@;");
}

TEST(MultiSectionBands, MoreSectionsThanUnitsDoesNotDivideByZero) {
  // E = 3 with five sections: width 0, the last band holds everything
  // that does not start at 0.
  EXPECT_EQ(Sections("PU0,0;PD0,3;", 5), "IN;U0,0;D0,0;D3,0;TM2;TM3;TM4;TM5;@;");
  EXPECT_EQ(Sections("PU0,0;PU0,2;PD0,3;", 5), "IN;U0,0;TM2;TM3;TM4;TM5;U2,0;D2,0;D3,0;@;");
}

TEST(MultiSectionBands, LeadingCuttingMovesOpenWithAPenUp) {
  EXPECT_EQ(Sections("PD0,0;PD0,100;", 2), "IN;U0,0;D100,0;TM2;@;");
}

TEST(MultiSectionBands, PenSelectionsAreNotWritten) {
  EXPECT_EQ(Sections("SP1;PU0,0;SP2;PD0,10;", 2), "IN;U0,0;D0,0;D10,0;TM2;@;");
}

TEST(MultiSectionBands, EmptyDrawingStillWritesEveryBand) {
  EXPECT_EQ(Sections("", 3), "IN;TM2;TM3;@;");
  const std::string fifty = Sections("IN;SP1;PU;", 50);
  EXPECT_EQ(fifty.substr(0, 15), "IN;TM2;TM3;TM4;");
  EXPECT_EQ(fifty.substr(fifty.size() - 17), "TM48;TM49;TM50;@;");
  EXPECT_EQ(fifty.size(), 3u + 8 * 4 + 41 * 5 + 2);
}

TEST(MultiSectionBands, MoreThanFiftySectionsIsRefused) {
  CPltMultiSection stage;
  stage.SetSectionCount(51);
  std::string out = "stale";
  EXPECT_FALSE(stage.Transform("PU0,0;PD5,5;", out));
  EXPECT_EQ(out, "");
}

// --- what the reader passes over ---

DrawingFindings Commands(std::initializer_list<std::string_view> names) {
  DrawingFindings f;
  for (const std::string_view name : names) {
    for (size_t i = 0; i < kIgnoredGeometry.size(); ++i) {
      if (kIgnoredGeometry[i] == name) f.ignoredCommands |= uint32_t{1} << i;
    }
  }
  return f;
}

TEST(MultiSectionFindings, NameWhatTheReaderDoesNotReadAsDrawn) {
  const char* root = std::getenv("PLOTARA_TESTDATA");
  std::ifstream sampleFile(std::string(root ? root : "plotsend/testdata") + "/kavren.plt", std::ios::binary);
  const std::string sample(std::istreambuf_iterator<char>(sampleFile), {});
  ASSERT_FALSE(sample.empty());
  auto with = [](DrawingFindings f, bool DrawingFindings::*flag) {
    f.*flag = true;
    return f;
  };
  const struct {
    std::string source;
    DrawingFindings expected;
  } cases[] = {
      {sample, {}},
      // Ordinary exports; bare PA, SC, IP, IW, RO restore what the reader assumes.
      {"IN;VS30;FS2;WU0;PW0.350,1;LT;PG;DF;PA;SC;IP;IW;RO;SP1;PU0,0;PD400,0,400,400;PU;SP0;", {}},
      {"PU;PA100,100;PD;PA400,100,400,400;", with(Commands({"PA"}), &DrawingFindings::bareUpDown)},
      {"PU\r\n;PR5,5;", with(Commands({"PR"}), &DrawingFindings::bareUpDown)},
      {"PR;PU10,10;PD20,20;", Commands({"PR"})},  // relative moves from here on
      {"IP0,0,4000,4000;SC0,100,0,100;PU0,0;PD10,10;", Commands({"IP", "SC"})},
      {"PU0,0;AA0,0,90;AR10,10,45;CI100;EA5,5;ER5,5;RA5,5;RR5,5;",
       Commands({"AA", "AR", "CI", "EA", "ER", "RA", "RR"})},
      {"IW0,0,9,9;RO90;PE<=5;LBtext\x03;EP;FP;", Commands({"IW", "RO", "PE", "LB", "EP", "FP"})},
      {"PU0,0;PD1.5,2;", with({}, &DrawingFindings::decimalCoordinates)},  // read as 15
      {"PU99999999999,5;", with({}, &DrawingFindings::outOfRange)},
      {"PU0,0;PD2000000,0;PD0,-2000000;", {}},  // 50 m on both axes
      {"PU0,0;PD2000001,0;", with({}, &DrawingFindings::tooLarge)},
      {"PU0,0;PD0,-2000001;", with({}, &DrawingFindings::tooLarge)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source.substr(0, 60));
    CPltMultiSection stage;
    std::string out;
    DrawingFindings found;
    ASSERT_TRUE(stage.Transform(c.source, out, &found));
    EXPECT_EQ(found.ignoredCommands, c.expected.ignoredCommands);
    EXPECT_EQ(found, c.expected);
  }
}

// --- files ---

class MultiSectionFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("multi_section_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  int Process(const std::string& source, int32_t sections, const std::string& output) {
    CPltMultiSection stage([this](JobMessage message) { messages_.push_back(message); });
    stage.SetSourcePath(source);
    stage.SetSectionCount(sections);
    return stage.ProcessSections(output);
  }

  fs::path dir_;
  std::vector<JobMessage> messages_;
};

TEST_F(MultiSectionFiles, WritesTheTransformedFile) {
  Write(Path("kavren.plt"), "IN;\r\nSP1;\r\nPU0,0;\r\nPD0,5;\r\n");
  EXPECT_EQ(Process(Path("kavren.plt"), 1, Path("kavren_m.plt")), 1);
  EXPECT_EQ(Read(Path("kavren_m.plt")), "SP1;U0,0;D0,0;D5,0;@");
  EXPECT_EQ(Process(Path("kavren.plt"), 2, Path("kavren_m.plt")), 1);
  EXPECT_EQ(Read(Path("kavren_m.plt")), "IN;U0,0;D0,0;D5,0;TM2;@;");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(MultiSectionFiles, MissingSourceWritesOnlyTheEndMark) {
  EXPECT_EQ(Process(Path("none.plt"), 1, Path("kavren_m.plt")), 1);
  EXPECT_EQ(Read(Path("kavren_m.plt")), "@");
  // Several sections: the same as an empty drawing, every band empty.
  EXPECT_EQ(Process(Path("none.plt"), 3, Path("kavren_m.plt")), 1);
  EXPECT_EQ(Read(Path("kavren_m.plt")), "IN;TM2;TM3;@;");
  EXPECT_EQ(messages_, (std::vector<JobMessage>{JobMessage::OpenFileFailed, JobMessage::OpenFileFailed}));
}

TEST_F(MultiSectionFiles, MoreThanFiftySectionsWritesNothing) {
  Write(Path("kavren.plt"), "PU0,0;PD0,5;");
  EXPECT_EQ(Process(Path("kavren.plt"), 51, Path("kavren_m.plt")), 0);
  EXPECT_FALSE(fs::exists(Path("kavren_m.plt")));
  EXPECT_EQ(messages_, std::vector<JobMessage>{JobMessage::MaxSectionNumbers});
  // An old output is left alone too.
  Write(Path("kavren_m.plt"), "old");
  EXPECT_EQ(Process(Path("kavren.plt"), 200, Path("kavren_m.plt")), 0);
  EXPECT_EQ(Read(Path("kavren_m.plt")), "old");
}

// The first read fixes which file the job is: a later read that finds
// another file or version there reads nothing.
TEST_F(MultiSectionFiles, AJobFileThatChangedIsNotReadAgain) {
  for (const bool byRename : {true, false}) {
    SCOPED_TRACE(byRename ? "replaced by rename" : "rewritten in place");
    messages_.clear();
    CPltMultiSection stage([this](JobMessage message) { messages_.push_back(message); });
    stage.SetSourcePath(Path("kavren.plt"));
    Write(Path("kavren.plt"), "PU0,0;PD0,5;");
    ASSERT_EQ(stage.ProcessSections(Path("kavren_m.plt")), 1);
    ASSERT_EQ(stage.ProcessSections(Path("kavren_m.plt")), 1);  // the same file again
    EXPECT_TRUE(stage.SourceRead());
    if (byRename) {
      Write(Path("new.plt"), "PU0,0;PD0,9;");
      fs::rename(Path("new.plt"), Path("kavren.plt"));
    } else {
      Write(Path("kavren.plt"), "PU0,0;PD0,9;PD9,9;");
    }
    EXPECT_EQ(stage.ProcessSections(Path("kavren_m.plt")), 1);
    EXPECT_FALSE(stage.SourceRead());
    EXPECT_EQ(Read(Path("kavren_m.plt")), "@");
    EXPECT_EQ(messages_, std::vector<JobMessage>{JobMessage::JobChanged});
    // Given as a new source, it is read.
    stage.SetSourcePath(Path("other.plt"));
    stage.SetSourcePath(Path("kavren.plt"));
    EXPECT_EQ(stage.ProcessSections(Path("kavren_m.plt")), 1);
    EXPECT_TRUE(stage.SourceRead());
  }
}

TEST_F(MultiSectionFiles, UnwritableOutputFails) {
  Write(Path("kavren.plt"), "PU0,0;");
  EXPECT_EQ(Process(Path("kavren.plt"), 1, Path("no_dir/kavren_m.plt")), 0);
}

}  // namespace
}  // namespace plotsend
