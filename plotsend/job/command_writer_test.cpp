// Header, section markers, window, trailer and the device transposition, as
// they appear in files written by WriteCutFile.
#include "job/command_writer.h"

#include <gtest/gtest.h>

#include "job/cut_writers.h"
#include "job/plt_file.h"
#include "job/writer_test_support.h"

namespace plotsend {
namespace {

using testing::CountOf;
using testing::ReadBack;
using testing::ScratchDir;

std::string Move(char letter, int32_t first, int32_t second) {
  std::array<char, kMaxMoveLength> buffer;
  return std::string(buffer.data(), FormatDeviceMove(letter, first, second, buffer));
}

TEST(DeviceTransposition, SwapsThreeFourAndSixSevenInTheFirstDigitOfY) {
  EXPECT_EQ(Move('U', 3000, 5), "U4000,5;");
  EXPECT_EQ(Move('D', 4000, 5), "D3000,5;");
  EXPECT_EQ(Move('D', 6, 0), "D7,0;");
  EXPECT_EQ(Move('D', 7, 0), "D6,0;");
  EXPECT_EQ(Move('U', 65, 1), "U75,1;");
  EXPECT_EQ(Move('U', 343, 1), "U443,1;");  // only the first digit
  for (int32_t y : {0, 1, 2, 5, 8, 9, 1234, 2999}) {
    std::string expected = "U";
    expected += std::to_string(y);
    expected += ",1;";
    EXPECT_EQ(Move('U', y, 1), expected);
  }
}

TEST(DeviceTransposition, NegativeYAndXAreUnchanged) {
  EXPECT_EQ(Move('D', -3, 3000), "D-3,3000;");
  EXPECT_EQ(Move('D', -4711, -7), "D-4711,-7;");
  EXPECT_EQ(Move('U', 1, 3467), "U1,3467;");
  EXPECT_EQ(Move('U', INT32_MIN, INT32_MAX), "U-2147483648,2147483647;");
  EXPECT_EQ(Move('U', INT32_MAX, INT32_MIN), "U2147483647,-2147483648;");
}

class HeaderTest : public ::testing::Test {
 protected:
  // An empty job: header and trailer only.
  std::string Write(uint8_t type, uint8_t sections = 1, uint8_t from = 1, uint8_t to = 255) {
    CPLTFile job;
    CutParams params;
    params.mark = MarkRef{1000, 2000, 50, type, sections};
    params.window = {from, to};
    params.jobLength = 2000;
    const std::string path = dir_.Path("out.kv3");
    EXPECT_TRUE(WriteCutFile(job, params, path));
    return ReadBack(path);
  }
  ScratchDir dir_;
};

TEST_F(HeaderTest, FramedTypesAddBothMarginsToSpanY) {
  for (uint8_t type : {2, 4, 6}) {
    EXPECT_EQ(Write(type), "TB26,50,2100,1100;TKN;U0,0;U2000,0;@") << int{type};
  }
}

TEST_F(HeaderTest, OpenTypesUseSpanYAsItIs) {
  for (uint8_t type : {3, 5, 7}) {
    EXPECT_EQ(Write(type), "TB26,50,2000,1100;TKN;U0,0;U2000,0;@") << int{type};
  }
}

TEST_F(HeaderTest, OtherTypesOnlyInitialise) {
  for (uint8_t type : {0, 1, 10, 255}) {
    EXPECT_EQ(Write(type), "TKN;U0,0;U2000,0;@") << int{type};
  }
}

TEST_F(HeaderTest, SectionedTypesAnnounceOnlyWithSectionOneInTheWindow) {
  // Section width 2000 / 4 = 500 is also the final move.
  EXPECT_EQ(Write(8, 4, 1, 4), "TB27,50,500,1100;TKN;U0,0;U500,0;@");
  EXPECT_EQ(Write(9, 4, 1, 1), "TB27,50,500,1100;TKN;U0,0;U500,0;@");
  EXPECT_EQ(Write(8, 4, 2, 4), "U500,0;@");
  EXPECT_EQ(Write(9, 4, 3, 3), "U500,0;@");
}

TEST_F(HeaderTest, ZeroSectionCountCountsAsOne) { EXPECT_EQ(Write(8, 0), "TB27,50,2000,1100;TKN;U0,0;U2000,0;@"); }

TEST_F(HeaderTest, HugeMarkValuesSaturate) {
  CPLTFile job;
  CutParams params;
  params.mark = MarkRef{INT32_MAX, INT32_MAX, INT32_MAX, 2, 1};
  const std::string path = dir_.Path("big.kv3");
  ASSERT_TRUE(WriteCutFile(job, params, path));
  EXPECT_EQ(ReadBack(path), "TB26,2147483647,2147483647,2147483647;TKN;U0,0;U0,0;@");
  // A span plus both margins saturates once, as a whole: -1 + 2 x 2^30 fits.
  const MarkRef wide{-1, -1, 1 << 30, 3, 1};
  EXPECT_EQ(wide.SpanXWithMargins(), INT32_MAX);
  EXPECT_EQ(wide.SpanYWithMargins(), INT32_MAX);
}

// Three sections of width 900 / 3 = 300, one cut each; section k runs over
// y = 300 (k - 1) .. 300 k.
constexpr const char* kThreeSections = "U0,0;D300,0;TM2;U300,10;D600,10;TM3;U600,20;D900,20;";

class SectionTest : public ::testing::Test {
 protected:
  std::string Write(uint8_t type, uint8_t from, uint8_t to, bool compensated = false) {
    CPLTFile job;
    job.ParsePlt(kThreeSections);
    CutParams params;
    params.mark = MarkRef{1000, 900, 50, type, 3};
    params.window = {from, to};
    params.jobLength = 900;
    const std::string path = dir_.Path("out.kv3");
    if (compensated) {
      params.SetCompensation(0.35, 1.0);
      EXPECT_EQ(WriteCompensatedCutFile(job, params, path), 1);
    } else {
      EXPECT_TRUE(WriteCutFile(job, params, path));
    }
    EXPECT_EQ(params.mark.SectionWidth(), 300);
    return ReadBack(path);
  }
  ScratchDir dir_;
};

TEST_F(SectionTest, AllSectionsShiftedToTheOriginWithMarkersBetween) {
  // Every section's y runs 0..300 after its shift; 300 goes out as 400.
  const std::string out = Write(8, 1, 3);
  EXPECT_EQ(out,
            "TB27,50,300,1100;TKN;U0,0;"
            "U0,0;D400,0;"
            "U400,0;TB27,50,300,1100;"
            "U0,10;D400,10;"
            "U400,0;TB27,50,300,1100;"
            "U0,20;D400,20;"
            "U400,0;@");
  EXPECT_EQ(CountOf(out, "TKN;U0,0;"), 1u);
}

TEST_F(SectionTest, WindowSkipsSectionsBeforeAndAfter) {
  EXPECT_EQ(Write(8, 2, 3),
            "TB27,50,300,1100;TKN;U0,0;"
            "U0,10;D400,10;"
            "U400,0;TB27,50,300,1100;"
            "U0,20;D400,20;"
            "U400,0;@");
  EXPECT_EQ(Write(9, 2, 2),
            "TB27,50,300,1100;TKN;U0,0;"
            "U0,10;D400,10;"
            "U400,0;"
            "U400,0;@");
}

TEST_F(SectionTest, UnsectionedTypesAnnounceAgainAtTheFirstMarker) {
  // The header's TKN does not count as announced; the trailer moves by the
  // job length (900).
  EXPECT_EQ(Write(0, 1, 3),
            "TKN;U0,0;"
            "U0,0;D400,0;"
            "U400,0;TB27,50,300,1100;TKN;U0,0;"
            "U0,10;D400,10;"
            "U400,0;TB27,50,300,1100;"
            "U0,20;D400,20;"
            "U900,0;@");
}

TEST_F(SectionTest, CompensatedWriterSharesWindowAndMarkers) {
  // Single cuts are written as they are; the path of a section is cut when
  // the next marker ends it, still with that section's shift.
  EXPECT_EQ(Write(8, 2, 2, true),
            "TB27,50,300,1100;TKN;U0,0;"
            "U0,10;D400,10;"
            "U400,0;"
            "U400,0;@");
  EXPECT_EQ(Write(8, 1, 3, true), Write(8, 1, 3, false));
}

}  // namespace
}  // namespace plotsend
