#include "work/work_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace plotmark {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::stringstream s;
  s << std::ifstream(p).rdbuf();
  return s.str();
}

size_t FileCount(const fs::path& dir) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
  return n;
}

TEST(WorkWriter, WritesWholeRefusesAPendingJobAndLeavesNothingOnFailure) {
  const fs::path dir = fs::path(testing::TempDir()) / "plotmark_work" / "new";
  fs::remove_all(dir.parent_path());
  const std::string d = dir.string() + "/";
  const std::vector<WorkFile> files = {{"markref.kv", "1,2,3,1,1"}, {"kavren.plt", "IN;SP1;PU0,0;PD1,1;"}};

  // Made when missing; files in place, no temporary left.
  ASSERT_EQ(WriteWorkFiles(d, files, false).outcome, WriteOutcome::Written);
  EXPECT_EQ(Read(dir / "kavren.plt"), "IN;SP1;PU0,0;PD1,1;");
  EXPECT_EQ(FileCount(dir), 2u);

  // An unsent job stays unless replaced.
  const std::vector<WorkFile> other = {{"markref.kv", "9,9,9,1,1"}, {"kavren.plt", "IN;"}};
  EXPECT_EQ(WriteWorkFiles(d, other, false).outcome, WriteOutcome::JobPending);
  EXPECT_EQ(Read(dir / "markref.kv"), "1,2,3,1,1");
  ASSERT_EQ(WriteWorkFiles(d, other, true).outcome, WriteOutcome::Written);
  EXPECT_EQ(Read(dir / "kavren.plt"), "IN;");

  // A file that cannot be written (a directory in its way): nothing changes.
  fs::create_directories(dir / "codeinfo.kv.plotara-tmp");
  const std::vector<WorkFile> third = {{"markref.kv", "5,5,5,1,1"}, {"codeinfo.kv", "0,0,"}, {"kavren.plt", "X"}};
  const WriteResult r = WriteWorkFiles(d, third, true);
  EXPECT_EQ(r.outcome, WriteOutcome::WriteFailed);
  EXPECT_EQ(Read(dir / "markref.kv"), "9,9,9,1,1");
  EXPECT_EQ(Read(dir / "kavren.plt"), "IN;");
  EXPECT_FALSE(fs::exists(dir / "markref.kv.plotara-tmp"));
}

}  // namespace
}  // namespace plotmark
