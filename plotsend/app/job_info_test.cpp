#include "app/job_info.h"
#include "app/texts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/scratch_dir_test_util.h"

namespace plotsend {
namespace {

auto Fields(const MarkRef& r) {
  return std::make_tuple(r.MarkSpanX, r.MarkSpanY, r.MarkMargin, int{r.MarkType}, int{r.SectionCount});
}
using F = std::tuple<int32_t, int32_t, int32_t, int, int>;

TEST(ParseMarkRefTest, ValuesTokensAndLimits) {
  EXPECT_EQ(Fields(ParseMarkRef("12000,8000,400,1,2\r\n")), F(12000, 8000, 400, 1, 2));
  EXPECT_EQ(Fields(ParseMarkRef("x=-50, y=30,0,3,0")), F(-50, 30, 0, 3, 1));
  EXPECT_EQ(Fields(ParseMarkRef("1,,2,x,3")), F(1, 2, 3, 0, 1));  // skipping skips commas too
  EXPECT_EQ(Fields(ParseMarkRef("12abc,--5,-,+7,4 5,6")), F(12, 0, 0, 7, 4));
  EXPECT_EQ(Fields(ParseMarkRef("99999999999,-99999999999,2147483648,300,258")),
            F(INT32_MAX, INT32_MIN, INT32_MAX, 44, 2));
  EXPECT_EQ(Fields(ParseMarkRef("0,0,0,-1,256")), F(0, 0, 0, 255, 1));
  EXPECT_EQ(Fields(ParseMarkRef("")), F(0, 0, 0, 0, 1));
}

class ReadJobInfoTest : public ::testing::Test {
 protected:
  bool Read() {
    messages_.clear();
    return ReadJobInfo(work_, info_, [this](JobMessage m) { messages_.push_back(Text(TextOf(m), Language::English)); });
  }
  ScratchDir dir_;
  WorkDir work_{dir_.Dir()};
  JobInfo info_;
  std::vector<std::string> messages_;
};

TEST_F(ReadJobInfoTest, MarkRefIsReadWhenShorterThan96Bytes) {
  const std::string longest = "12000,8000,400,1,2" + std::string(77, ' ');
  WriteTestFile(work_.MarkRefKv(), longest);
  info_.CodeMode = 9;
  EXPECT_TRUE(Read());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Fields(info_.markRef), F(12000, 8000, 400, 1, 2));
  EXPECT_EQ(info_.CodeMode, 0);

  for (size_t size : {size_t{96}, size_t{1} << 20}) {
    info_.markRef = MarkRef{};
    WriteTestFile(work_.MarkRefKv(), longest + std::string(size - 95, '7'));
    EXPECT_FALSE(Read());
    EXPECT_EQ(messages_, std::vector<std::string>{"buffer not  enough !"});
    EXPECT_EQ(Fields(info_.markRef), F(0, 0, 0, 0, 1));
  }
}

TEST_F(ReadJobInfoTest, MissingMarkRefIsReportedAndKeepsInitialValues) {
  info_.markRef.MarkSpanX = 77;
  EXPECT_FALSE(Read());
  EXPECT_EQ(messages_, std::vector<std::string>{"open markref file fail!"});
  EXPECT_EQ(info_.markRef.MarkSpanX, 77);
  EXPECT_FALSE(ReadJobInfo(work_, info_, Notify{}));  // nobody to tell: still no crash
}

TEST_F(ReadJobInfoTest, MarkRefThatIsADirectoryOrEmptyIsNotRead) {
  info_.markRef.MarkSpanX = 77;
  std::filesystem::create_directory(Utf8Path(work_.MarkRefKv()));
  EXPECT_FALSE(Read());
  std::filesystem::remove(Utf8Path(work_.MarkRefKv()));
  WriteTestFile(work_.MarkRefKv(), "");
  EXPECT_FALSE(Read());
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(info_.markRef.MarkSpanX, 77);
}

// Reading takes the code mode but leaves the flag for ConsumeCodeFlag, so a
// job that fails to export is still coded on the next try.
TEST_F(ReadJobInfoTest, CodeModeIsSeenUntilConsumed) {
  WriteTestFile(work_.CodeInfoKv(), "1,2,");
  WriteTestFile(work_.CodeNumbleKv(), "  42xyz");
  EXPECT_FALSE(Read());  // no markref.kv: the code mode is still taken
  EXPECT_EQ(info_.CodeMode, 2);
  EXPECT_EQ(info_.CodeNumber, 42);
  EXPECT_TRUE(info_.codeFlagPending);
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "1,2,");

  WriteTestFile(work_.MarkRefKv(), "1,2,3,4,5");
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 2);
  ConsumeCodeFlag(work_);
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "0,2,");
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 0);
  EXPECT_FALSE(info_.codeFlagPending);
  EXPECT_EQ(info_.CodeNumber, 0);  // not read without a code mode
}

TEST_F(ReadJobInfoTest, CodeFilesOddContents) {
  WriteTestFile(work_.MarkRefKv(), "1,2,3,4,5");
  WriteTestFile(work_.CodeInfoKv(), "x,7,tail kept");
  WriteTestFile(work_.CodeNumbleKv(), "12345678901");  // only 10 characters count
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 7);
  EXPECT_EQ(info_.CodeNumber, 1234567890);
  ConsumeCodeFlag(work_);
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "0,7,tail kept");

  WriteTestFile(work_.CodeInfoKv(), "1,/,");  // byte 2 minus '0', in 8 bits
  std::filesystem::remove(Utf8Path(work_.CodeNumbleKv()));
  EXPECT_TRUE(Read());
  EXPECT_EQ(info_.CodeMode, 255);
  EXPECT_EQ(info_.CodeNumber, 0);

  // A short file is neither grown nor padded; without byte 2 there is no mode.
  for (const std::string before : {"1", "1,", ""}) {
    WriteTestFile(work_.CodeInfoKv(), before);
    EXPECT_TRUE(Read());
    EXPECT_EQ(info_.CodeMode, 0);
    EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), before);
    ConsumeCodeFlag(work_);
    EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), before.empty() ? "" : "0" + before.substr(1));
  }
  ConsumeCodeFlag(work_);  // an empty file stays empty
  EXPECT_EQ(ReadTestFile(work_.CodeInfoKv()), "");
}

}  // namespace
}  // namespace plotsend
