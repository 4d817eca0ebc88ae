#include "job_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "scratch_dir_test_util.h"

namespace plotsend {
namespace {

void ExpectMarkRef(const MarkRef& ref, int32_t span_x, int32_t span_y, int32_t margin,
                   uint8_t type, uint8_t sections) {
  EXPECT_EQ(ref.MarkSpanX, span_x);
  EXPECT_EQ(ref.MarkSpanY, span_y);
  EXPECT_EQ(ref.MarkMargin, margin);
  EXPECT_EQ(ref.MarkType, type);
  EXPECT_EQ(ref.SectionCount, sections);
}

TEST(ParseMarkRefTest, PlainAndDecoratedValues) {
  ExpectMarkRef(ParseMarkRef("12000,8000,400,1,2"), 12000, 8000, 400, 1, 2);
  ExpectMarkRef(ParseMarkRef("x=-50, y=30,0,3,0"), -50, 30, 0, 3, 1);
  ExpectMarkRef(ParseMarkRef("12000,8000,400,1,2\r\n"), 12000, 8000, 400, 1, 2);
  ExpectMarkRef(ParseMarkRef("1,2,3,4,5,6,7,8,9,10,11,12,13"), 1, 2, 3, 4, 5);
}

TEST(ParseMarkRefTest, TokensAreReadLikeAtol) {
  // Skipping to the next digit or '-' also skips empty fields.
  ExpectMarkRef(ParseMarkRef("1,,2,x,3"), 1, 2, 3, 0, 1);
  ExpectMarkRef(ParseMarkRef("12abc,--5,-,+7,4 5"), 12, 0, 0, 7, 4);
  ExpectMarkRef(ParseMarkRef("99999999999,-99999999999,2147483648,0,1"), INT32_MAX, INT32_MIN,
                INT32_MAX, 0, 1);
}

TEST(ParseMarkRefTest, EightBitFieldsWrapAndZeroSectionsReadAsOne) {
  ExpectMarkRef(ParseMarkRef("0,0,0,300,258"), 0, 0, 0, 44, 2);
  ExpectMarkRef(ParseMarkRef("0,0,0,-1,256"), 0, 0, 0, 255, 1);
  ExpectMarkRef(ParseMarkRef("0,0,0,1"), 0, 0, 0, 1, 1);
  ExpectMarkRef(ParseMarkRef(""), 0, 0, 0, 0, 1);
  ExpectMarkRef(ParseMarkRef("no numbers at all"), 0, 0, 0, 0, 1);
}

class ReadJobInfoTest : public ::testing::Test {
 protected:
  bool Read() {
    messages_.clear();
    return ReadJobInfo(work_, info_, [this](const std::string& text) { messages_.push_back(text); });
  }

  ScratchDir dir_;
  WorkDir work_{dir_.Dir()};
  JobInfo info_;
  std::vector<std::string> messages_;
};

TEST_F(ReadJobInfoTest, MarkRefOnly) {
  WriteTestFile(work_.MarkRefKv(), "12000,8000,400,1,2");
  info_.CodeMode = 9;
  info_.CodeNumber = 9;
  EXPECT_TRUE(Read());
  EXPECT_TRUE(messages_.empty());
  ExpectMarkRef(info_.markRef, 12000, 8000, 400, 1, 2);
  EXPECT_EQ(info_.CodeMode, 0);
  EXPECT_EQ(info_.CodeNumber, 0);
}

TEST_F(ReadJobInfoTest, MissingMarkRefIsReportedAndKeepsInitialValues) {
  info_.markRef.MarkSpanX = 77;
  info_.markRef.SectionCount = 3;
  EXPECT_FALSE(Read());
  EXPECT_EQ(messages_, std::vector<std::string>{"open markref file fail!"});
  EXPECT_EQ(info_.markRef.MarkSpanX, 77);
  EXPECT_EQ(info_.markRef.SectionCount, 3);
  EXPECT_FALSE(ReadJobInfo(work_, info_, Notify{}));  // no one to tell: still no crash
}

TEST_F(ReadJobInfoTest, MarkRefMustBeShorterThan96Bytes) {
  const std::string longest = "1,2,3,4,5," + std::string(85, ' ');
  ASSERT_EQ(longest.size(), 95u);
  WriteTestFile(work_.MarkRefKv(), longest);
  EXPECT_TRUE(Read());
  ExpectMarkRef(info_.markRef, 1, 2, 3, 4, 5);

  info_.markRef = MarkRef{};
  WriteTestFile(work_.MarkRefKv(), longest + " ");
  EXPECT_FALSE(Read());
  EXPECT_EQ(messages_, std::vector<std::string>{"buffer not  enough !"});
  ExpectMarkRef(info_.markRef, 0, 0, 0, 0, 1);

  WriteTestFile(work_.MarkRefKv(), std::string(1 << 20, '7'));
  EXPECT_FALSE(Read());
  EXPECT_EQ(messages_, std::vector<std::string>{"buffer not  enough !"});
}

TEST_F(ReadJobInfoTest, CodeModeIsConsumedByOneRun) {
  WriteTestFile(work_.MarkRefKv(), "1,2,3,4,5");
  WriteTestFile(work_.CodeInfoKv(), "1,2,");
  WriteTestFile(work_.CodeNumbleKv(), "  42xyz");
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 2);
  EXPECT_EQ(info_.CodeNumber, 42);
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "0,2,");

  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 0);
  EXPECT_EQ(info_.CodeNumber, 0);  // not read without a code mode
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "0,2,");
}

TEST_F(ReadJobInfoTest, CodeModeDigitAndCodeNumberLimits) {
  WriteTestFile(work_.MarkRefKv(), "1,2,3,4,5");
  WriteTestFile(work_.CodeInfoKv(), "x,7,tail kept");
  WriteTestFile(work_.CodeNumbleKv(), "12345678901");  // only 10 characters count
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 7);
  EXPECT_EQ(info_.CodeNumber, 1234567890);
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "0,7,tail kept");

  // Byte 2 minus '0' in 8 bits, whatever the character.
  WriteTestFile(work_.CodeInfoKv(), "1,/,");
  std::filesystem::remove(Utf8Path(work_.CodeNumbleKv()));
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 255);
  EXPECT_EQ(info_.CodeNumber, 0);  // codenumble.kv missing
}

TEST_F(ReadJobInfoTest, ShortCodeInfoIsNeitherGrownNorPadded) {
  WriteTestFile(work_.MarkRefKv(), "1,2,3,4,5");
  WriteTestFile(work_.CodeInfoKv(), "1,");
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 0);
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "0,");

  WriteTestFile(work_.CodeInfoKv(), "");
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 0);
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "");
}

TEST_F(ReadJobInfoTest, CodeInfoFlagZeroMeansNoCodeJob) {
  WriteTestFile(work_.MarkRefKv(), "1,2,3,4,5");
  WriteTestFile(work_.CodeInfoKv(), "0,3,");
  WriteTestFile(work_.CodeNumbleKv(), "17");
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 0);
  EXPECT_EQ(info_.CodeNumber, 0);
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "0,3,");
}

TEST_F(ReadJobInfoTest, CodeModeIsReadEvenWhenMarkRefIsMissing) {
  WriteTestFile(work_.CodeInfoKv(), "1,1,");
  WriteTestFile(work_.CodeNumbleKv(), "17");
  EXPECT_FALSE(Read());
  EXPECT_EQ(info_.CodeMode, 1);
  EXPECT_EQ(info_.CodeNumber, 17);
}

}  // namespace
}  // namespace plotsend
