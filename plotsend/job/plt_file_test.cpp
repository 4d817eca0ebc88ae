#include "job/plt_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "job/decimal.h"

namespace plotsend {
namespace {

namespace fs = std::filesystem;

std::vector<JobPoint> Parse(std::string_view text) {
  CPLTFile job;
  job.ParsePlt(text);
  return job.Points();
}

JobPoint Up(int32_t y, int32_t x) { return JobPoint{x, y, kPenUp}; }
JobPoint Cut(int32_t y, int32_t x) { return JobPoint{x, y, kCut}; }
JobPoint Mark(int32_t y, int32_t x, uint8_t kind) { return JobPoint{x, y, kind}; }

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("plt_file_test_" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string File(const std::string& name) const { return (dir_ / name).string(); }
  std::string Write(const std::string& name, std::string_view bytes) const {
    std::ofstream(dir_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return File(name);
  }

 private:
  fs::path dir_;
};

// --- Command walk ---------------------------------------------------------

TEST(ParsePlt, MovesReadYFirstThenX) {
  EXPECT_EQ(Parse("U100,200;"), (std::vector<JobPoint>{Up(100, 200)}));
  EXPECT_EQ(Parse("D-5,7;"), (std::vector<JobPoint>{Cut(-5, 7)}));
  // Several pairs in one command.
  EXPECT_EQ(Parse("U0,0,100,0;"), (std::vector<JobPoint>{Up(0, 0), Up(100, 0)}));
}

TEST(ParsePlt, DropsPointsEqualToTheLastWhateverTheKind) {
  EXPECT_EQ(Parse("U0,0;D0,0;"), (std::vector<JobPoint>{Up(0, 0)}));
  EXPECT_EQ(Parse("U1,2;U1,2;D3,4;D3,4;U1,2;"), (std::vector<JobPoint>{Up(1, 2), Cut(3, 4), Up(1, 2)}));
  // The last coordinates start at -100, -100: a first move there is dropped.
  EXPECT_EQ(Parse("U-100,-100;D-100,5;"), (std::vector<JobPoint>{Cut(-100, 5)}));
}

TEST(ParsePlt, EverySeparatorFlipsThePairState) {
  // The blank completes (100, empty); "200" starts a pair that ';' leaves open.
  EXPECT_EQ(Parse("D100, 200;"), (std::vector<JobPoint>{Cut(100, 0)}));
  // A pair left open at ';' is not carried into the next command.
  EXPECT_EQ(Parse("U55;U7,8;"), (std::vector<JobPoint>{Up(7, 8)}));
  EXPECT_EQ(Parse("U1,2,3;"), (std::vector<JobPoint>{Up(1, 2)}));
  // Letters and other characters are skipped inside a number.
  EXPECT_EQ(Parse("U1A2,3;"), (std::vector<JobPoint>{Up(12, 3)}));
  EXPECT_EQ(Parse("D1\t0,+4;"), (std::vector<JobPoint>{Cut(10, 4)}));
}

TEST(ParsePlt, IgnoresOtherAndShortCommands) {
  EXPECT_TRUE(Parse("PU10,10;").empty());
  EXPECT_TRUE(Parse("U1;").empty());
  EXPECT_TRUE(Parse("IN;PA;SP1;PD5,5;").empty());
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse(";;;").empty());
  // Four characters are enough even if no pair completes.
  EXPECT_TRUE(Parse("U12;").empty());
  EXPECT_EQ(Parse("IN;U1,;"), (std::vector<JobPoint>{Up(1, 0)}));
}

TEST(ParsePlt, SkipsLineBreaksAndDropsTrailingBytes) {
  EXPECT_EQ(Parse("IN;\r\nU1\r\n00,2;\nD3,4;\r\n@"), (std::vector<JobPoint>{Up(100, 2), Cut(3, 4)}));
  // Line breaks do not count toward the four-character minimum, nor do they
  // hide the command letter.
  EXPECT_TRUE(Parse("U\r\n1;").empty());
  EXPECT_EQ(Parse("\r\nU,5;"), (std::vector<JobPoint>{Up(0, 5)}));
  EXPECT_EQ(Parse("T\nM\r2;"), (std::vector<JobPoint>{Mark(-100, -100, 5)}));
  // No ';' after the last command: it is dropped.
  EXPECT_EQ(Parse("U1,2;U3,4"), (std::vector<JobPoint>{Up(1, 2)}));
}

TEST(ParsePlt, MarkersTakeTheLastPositionAndTheFirstDigit) {
  EXPECT_EQ(Parse("U5,7;TM2;"), (std::vector<JobPoint>{Up(5, 7), Mark(5, 7, 5)}));
  EXPECT_EQ(Parse("TM12;"), (std::vector<JobPoint>{Mark(-100, -100, 4)}));
  EXPECT_EQ(Parse("TM9;"), (std::vector<JobPoint>{Mark(-100, -100, 12)}));
  // Markers are never merged and do not move the last position.
  EXPECT_EQ(Parse("U5,7;TM1;TM1;U5,7;D5,8;"),
            (std::vector<JobPoint>{Up(5, 7), Mark(5, 7, 4), Mark(5, 7, 4), Cut(5, 8)}));
}

TEST(ParsePlt, MarkerCharactersBelowOneAreIgnored) {
  // "TM;" reads ';' as the kind's character: 59 - 45.
  EXPECT_EQ(Parse("TM;"), (std::vector<JobPoint>{Mark(-100, -100, 14)}));
  EXPECT_EQ(Parse("TM\xC8;"), (std::vector<JobPoint>{Mark(-100, -100, 200 - 45)}));
  // These would read as moves (kinds 0..3) or wrap around: no point at all.
  EXPECT_TRUE(Parse("TM0;TM/;TM.;TM-;TM ;TM,;TM\x01;").empty());
  EXPECT_TRUE(Parse("T;TX1;").empty());
}

TEST(ParsePlt, ReplacesThePreviousList) {
  CPLTFile job;
  job.ParsePlt("U1,1;D2,2;");
  job.ParsePlt("U3,3;");
  EXPECT_EQ(job.Points(), (std::vector<JobPoint>{Up(3, 3)}));
  job.ParsePlt("");
  EXPECT_TRUE(job.Points().empty());
}

// --- Numbers -------------------------------------------------------------

TEST(ParsePltNumbers, SaturateInsteadOfOverflowing) {
  EXPECT_EQ(Parse("U99999999999999999999,-99999999999999999999;"), (std::vector<JobPoint>{Up(INT32_MAX, INT32_MIN)}));
  EXPECT_EQ(Parse("U2147483648,-2147483648;"), (std::vector<JobPoint>{Up(INT32_MAX, INT32_MIN)}));
  EXPECT_EQ(Parse("U2147483647,-2147483647;"), (std::vector<JobPoint>{Up(INT32_MAX, -INT32_MAX)}));
}

TEST(ParsePltNumbers, MinusSignsReadLikeTheCRuntime) {
  EXPECT_EQ(Parse("U1-2,--5;"), (std::vector<JobPoint>{Up(1, 0)}));
  EXPECT_EQ(Parse("U-,-3-4;"), (std::vector<JobPoint>{Up(0, -3)}));
}

TEST(ParsePltNumbers, AgreeWithParseInt32OnRandomStrings) {
  std::mt19937 rng(12345);
  const std::string alphabet = "0123456789-";
  auto randomNumber = [&] {
    std::string s;
    const size_t n = rng() % 14;
    for (size_t i = 0; i < n; ++i) s += alphabet[rng() % (rng() % 4 == 0 ? alphabet.size() : 10)];
    return s;
  };
  for (int i = 0; i < 2000; ++i) {
    const std::string y = randomNumber();
    const std::string x = randomNumber();
    const JobPoint expected = Cut(ParseInt32(y), ParseInt32(x));
    // The trailing ',' completes the pair and keeps even "D,,;" four bytes long.
    const auto points = Parse("D" + y + "," + x + ",;");
    if (expected.x == -100 && expected.y == -100) {
      EXPECT_TRUE(points.empty());
    } else {
      ASSERT_EQ(points.size(), 1u) << y << "," << x;
      EXPECT_EQ(points[0], expected) << y << "," << x;
    }
  }
}

// --- Large and dense input -----------------------------------------------

TEST(ParsePltLarge, DenseFileHoldsMorePointsThanOnePerSixBytes) {
  TempDir dir;
  std::string text;
  const int pairs = 50000;
  for (int i = 0; i < pairs; ++i) text += "U1,2;U2,1;";  // 5 bytes per point
  const std::string path = dir.Write("dense.plt", text);
  CPLTFile job;
  ASSERT_EQ(job.LoadPlt(path), 1);
  ASSERT_EQ(job.Points().size(), size_t{2 * pairs});
  EXPECT_GT(job.Points().size(), text.size() / 6);
  EXPECT_EQ(job.Points().front(), Up(1, 2));
  EXPECT_EQ(job.Points()[1], Up(2, 1));
  EXPECT_EQ(job.Points().back(), Up(2, 1));
}

TEST(ParsePltLarge, CommandLongerThan256KiBIsReadWhole) {
  std::string text = "D";
  const int pairs = 40000;
  for (int i = 1; i <= pairs; ++i) text += std::to_string(i) + "," + std::to_string(-i) + ",";
  text.back() = ';';
  ASSERT_GT(text.size(), size_t{262144});
  const auto points = Parse("U0,0;" + text + "U9,9;");
  ASSERT_EQ(points.size(), size_t{pairs + 2});
  EXPECT_EQ(points[1], Cut(1, -1));
  EXPECT_EQ(points[pairs], Cut(pairs, -pairs));
  EXPECT_EQ(points.back(), Up(9, 9));
}

// --- Loading files -------------------------------------------------------

// Files are read a piece at a time: commands cut at any piece boundary, and
// commands longer than a piece, load as the whole text parses.
TEST(LoadPlt, PiecesGiveTheSameListAsTheWholeText) {
  TempDir dir;
  std::string text = "IN;\r\n";
  for (int i = 0; text.size() < (5u << 20) / 2; ++i) {
    text += (i % 3 ? "D" : "U") + std::to_string(i * 7 % 100003) + "," + std::to_string(-i) + ";";
    if (i % 997 == 0) text += "TM" + std::to_string(i % 9 + 1) + ";\r\n";
    if (i % 50000 == 0) text += "\r\nD\r\n5,\r\n6;";
  }
  std::string longCommand = "D";
  while (longCommand.size() < (3u << 20)) longCommand += std::to_string(longCommand.size()) + ",1,";
  longCommand.back() = ';';
  text += longCommand + "U1,2;D3,4;U5,6";  // the unfinished last command is no command
  CPLTFile job;
  ASSERT_EQ(job.LoadPlt(dir.Write("pieces.plt", text)), 1);
  EXPECT_EQ(job.Points(), Parse(text));
  EXPECT_EQ(job.Points().back(), Cut(3, 4));
}

TEST(LoadPlt, ReadsAJobFromTestData) {
  const char* root = std::getenv("PLOTARA_TESTDATA");
  ASSERT_NE(root, nullptr);
  CPLTFile job;
  ASSERT_EQ(job.LoadPlt((fs::path(root) / "reader_job.plt").string()), 1);
  EXPECT_EQ(job.Points(), (std::vector<JobPoint>{Up(400, 400), Cut(400, 1200), Cut(1200, 1200), Cut(1200, 400),
                                                 Cut(400, 400), Mark(400, 400, 4), Up(2000, 600), Cut(2600, 600),
                                                 Cut(2600, 800), Mark(2600, 800, 5)}));
}

TEST(LoadPlt, EmptyFileGivesEmptyList) {
  TempDir dir;
  CPLTFile job;
  job.ParsePlt("U1,2;");
  EXPECT_EQ(job.LoadPlt(dir.Write("empty.plt", "")), 1);
  EXPECT_TRUE(job.Points().empty());
}

TEST(LoadPlt, UnopenablePathReportsAndKeepsTheList) {
  TempDir dir;
  std::vector<JobMessage> shown;
  CPLTFile job([&](JobMessage message) { shown.push_back(message); });
  job.ParsePlt("U1,2;D3,4;");
  EXPECT_EQ(job.LoadPlt(dir.File("missing.plt")), 0);
  EXPECT_EQ(shown, std::vector<JobMessage>{JobMessage::OpenFileFailed});
  EXPECT_EQ(job.Points(), (std::vector<JobPoint>{Up(1, 2), Cut(3, 4)}));
  // A directory cannot be read as a job either.
  EXPECT_EQ(job.LoadPlt(dir.File("")), 0);
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(job.Points().size(), 2u);
  // Without a message sink the failure is still reported by the result.
  CPLTFile silent;
  EXPECT_EQ(silent.LoadPlt(dir.File("missing.plt")), 0);
}

// --- Bounds and translation ----------------------------------------------

TEST(ComputeBounds, FirstMoveInitialisesAndMarkersAreLeftOut) {
  CPLTFile job;
  job.ParsePlt("U100,200;D300,50;TM1;D250,-20;");
  EXPECT_EQ(job.ComputeBounds(), 1);
  const Bounds& b = job.GetBounds();
  EXPECT_EQ(b.minX, -20);
  EXPECT_EQ(b.maxX, 200);
  EXPECT_EQ(b.minY, 100);
  EXPECT_EQ(b.maxY, 300);
  EXPECT_EQ(job.JobLength(), 200);
}

TEST(ComputeBounds, LeadingMarkerLeavesBoundsStartingAtZero) {
  CPLTFile job;
  // The marker sits at (-100, -100) but does not count; 0 stays a bound.
  job.ParsePlt("TM1;U100,200;D300,400;");
  job.ComputeBounds();
  const Bounds& b = job.GetBounds();
  EXPECT_EQ(b.minX, 0);
  EXPECT_EQ(b.minY, 0);
  EXPECT_EQ(b.maxX, 400);
  EXPECT_EQ(b.maxY, 300);
  EXPECT_EQ(job.JobLength(), 300);
}

TEST(ComputeBounds, EmptyJobAndHugeLength) {
  CPLTFile job;
  job.ParsePlt("U5,5;");
  job.ComputeBounds();
  job.ParsePlt("");
  job.ComputeBounds();
  EXPECT_EQ(job.GetBounds().maxX, 0);
  EXPECT_EQ(job.GetBounds().maxY, 0);
  EXPECT_EQ(job.JobLength(), 0);
  job.ParsePlt("U-2000000000,0;U2000000000,0;");
  job.ComputeBounds();
  EXPECT_EQ(job.GetBounds().minY, -2000000000);
  EXPECT_EQ(job.JobLength(), INT32_MAX);  // 4e9 does not fit: saturated
}

TEST(Translate, MoveToOriginAndOffsetIncludeMarkers) {
  CPLTFile job;
  job.ParsePlt("U100,200;D300,50;TM1;");
  job.ComputeBounds();
  EXPECT_EQ(job.MoveToOrigin(job.GetBounds().minX, job.GetBounds().minY), 1);
  EXPECT_EQ(job.Points(), (std::vector<JobPoint>{Up(0, 150), Cut(200, 0), Mark(200, 0, 4)}));
  EXPECT_TRUE(job.ApplyOriginOffset(40, -8));
  EXPECT_EQ(job.Points(), (std::vector<JobPoint>{Up(-8, 190), Cut(192, 40), Mark(192, 40, 4)}));
}

TEST(Translate, SaturatesAtTheInt32Range) {
  CPLTFile job;
  job.ParsePlt("U2147483600,-2147483600;TM3;");
  job.MoveToOrigin(1000, -1000);
  EXPECT_EQ(job.Points()[0], Up(INT32_MAX, INT32_MIN));
  EXPECT_EQ(job.Points()[1], Mark(INT32_MAX, INT32_MIN, 6));
  job.ApplyOriginOffset(INT32_MAX, INT32_MIN);
  EXPECT_EQ(job.Points()[0], Up(-1, -1));
  job.ApplyOriginOffset(INT32_MIN, INT32_MAX);
  EXPECT_EQ(job.Points()[1], Mark(INT32_MAX - 1, INT32_MIN, 6));
  job.MoveToOrigin(INT32_MIN, INT32_MIN);
  EXPECT_EQ(job.Points()[1], Mark(INT32_MAX, 0, 6));
}

// --- Saving ----------------------------------------------------------------

TEST(SaveNormalizedPlt, WritesPlainCommandsAndTheJobLength) {
  TempDir dir;
  CPLTFile job;
  job.ParsePlt("IN;PA;U100,200;D300,50;TM1;U400,60;TM9;D-5,-6;@");
  job.ComputeBounds();
  const std::string path = dir.File("out.kv2");
  ASSERT_EQ(job.SaveNormalizedPlt(path, MarkRef{}), 1);
  EXPECT_EQ(ReadAll(path), "IN;PA;U0,0;U100,200;D300,50;TM1;U400,60;TM9;D-5,-6;U405,0;");
  // An existing file is replaced, not appended to.
  job.ParsePlt("");
  job.ComputeBounds();
  ASSERT_EQ(job.SaveNormalizedPlt(path, MarkRef{}), 1);
  EXPECT_EQ(ReadAll(path), "IN;PA;U0,0;U0,0;");
}

TEST(SaveNormalizedPlt, SectionedJobsEndOnTheSectionWidth) {
  TempDir dir;
  CPLTFile job;
  job.ParsePlt("U1,2;");
  job.SetJobLength(777);
  MarkRef ref;
  ref.MarkSpanY = 1000;
  ref.SectionCount = 3;
  for (uint8_t type : {uint8_t{8}, uint8_t{9}}) {
    ref.MarkType = type;
    ASSERT_EQ(job.SaveNormalizedPlt(dir.File("s.kv2"), ref), 1);
    EXPECT_EQ(ReadAll(dir.File("s.kv2")), "IN;PA;U0,0;U1,2;U333,0;");
    EXPECT_EQ(ref.SectionWidth(), 333);
  }
  ref.SectionCount = 0;  // treated as one section
  ASSERT_EQ(job.SaveNormalizedPlt(dir.File("s.kv2"), ref), 1);
  EXPECT_EQ(ReadAll(dir.File("s.kv2")), "IN;PA;U0,0;U1,2;U1000,0;");
  ref.MarkType = 7;
  ASSERT_EQ(job.SaveNormalizedPlt(dir.File("s.kv2"), ref), 1);
  EXPECT_EQ(ReadAll(dir.File("s.kv2")), "IN;PA;U0,0;U1,2;U777,0;");
}

TEST(SaveNormalizedPlt, ExtremeValuesAreWrittenInFull) {
  TempDir dir;
  CPLTFile job;
  job.ParsePlt("D-2147483648,-2147483648;TM;");
  job.SetJobLength(INT32_MAX);
  ASSERT_EQ(job.SaveNormalizedPlt(dir.File("x.kv2"), MarkRef{}), 1);
  EXPECT_EQ(ReadAll(dir.File("x.kv2")), "IN;PA;U0,0;D-2147483648,-2147483648;TM11;U2147483647,0;");
}

TEST(SaveNormalizedPlt, UnwritablePathIsAFailure) {
  TempDir dir;
  CPLTFile job;
  job.ParsePlt("U1,2;");
  EXPECT_EQ(job.SaveNormalizedPlt(dir.File("no/such/dir/out.kv2"), MarkRef{}), 0);
  EXPECT_EQ(job.SaveNormalizedPlt(dir.File(""), MarkRef{}), 0);  // a directory
}

TEST(SaveNormalizedPlt, SavedFileReadsBackToTheSamePoints) {
  TempDir dir;
  CPLTFile job;
  job.ParsePlt("U1100,1200;D1300,1000;D1300,1400;TM1;U1500,1600;D1700,1050;TM7;");
  job.ComputeBounds();
  job.MoveToOrigin(job.GetBounds().minX, job.GetBounds().minY);
  const std::vector<JobPoint> prepared = job.Points();
  const std::string path = dir.File("round.kv2");
  ASSERT_EQ(job.SaveNormalizedPlt(path, MarkRef{}), 1);

  CPLTFile reread;
  ASSERT_EQ(reread.LoadPlt(path), 1);
  // The header's U0,0 and the final move to (job length, 0) frame the job.
  std::vector<JobPoint> expected{Up(0, 0)};
  expected.insert(expected.end(), prepared.begin(), prepared.end());
  expected.push_back(Up(job.JobLength(), 0));
  EXPECT_EQ(reread.Points(), expected);
  EXPECT_EQ(job.JobLength(), 600);
}

}  // namespace
}  // namespace plotsend
