#include "app/work_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/scratch_dir_test_util.h"

namespace plotsend {
namespace {

std::vector<std::string> JobFiles(const WorkDir& w) {
  return {w.KavrenPlt(), w.KavrenMPlt(), w.KavrenKv(0), w.KavrenKv(1), w.KavrenKv(2), w.KavrenKv(3)};
}

TEST(DeleteJobFilesTest, DeletesTheJobAndKeepsTheDescriptionAndSettings) {
  ScratchDir dir;
  const WorkDir w(dir.Dir());
  const std::vector<std::string> kept = {w.MarkRefKv(), w.CodeNumbleKv(), w.ConfigIni(), w.CodeInfoKv(),
                                         w.File("kavren.kv4")};
  for (const auto& f : JobFiles(w)) WriteTestFile(f, "x");
  for (const auto& f : kept) WriteTestFile(f, "keep");
  EXPECT_TRUE(DeleteJobFiles(w));
  for (const auto& f : JobFiles(w)) EXPECT_FALSE(TestFileExists(f)) << f;
  for (const auto& f : kept) EXPECT_EQ(ReadTestFile(f), "keep") << f;
  EXPECT_TRUE(DeleteJobFiles(w));  // absent files are skipped (second run after a send)
  EXPECT_TRUE(DeleteJobFiles(WorkDir(dir.File("absent"))));
}

TEST(DeleteJobFilesTest, AFileThatCannotBeDeletedIsReportedAndTheRestGoes) {
  ScratchDir dir;
  const WorkDir w(dir.Dir());
  for (const auto& f : JobFiles(w)) WriteTestFile(f, "x");
  // A non-empty directory under a job file's name cannot be removed.
  std::filesystem::remove(Utf8Path(w.KavrenKv(1)));
  std::filesystem::create_directory(Utf8Path(w.KavrenKv(1)));
  WriteTestFile(w.KavrenKv(1) + "/inner", "y");
  EXPECT_FALSE(DeleteJobFiles(w));
  EXPECT_TRUE(TestFileExists(w.KavrenKv(1) + "/inner"));
  EXPECT_FALSE(TestFileExists(w.KavrenPlt()));
  EXPECT_FALSE(TestFileExists(w.KavrenKv(3)));
}

TEST(DeleteJobFilesTest, AKeptJobLosesOnlyItsIntermediates) {
  ScratchDir dir;
  const WorkDir w(dir.Dir());
  for (const auto& f : JobFiles(w)) WriteTestFile(f, "x");
  EXPECT_TRUE(DeleteJobFiles(w, /*keepJob=*/true));
  EXPECT_EQ(ReadTestFile(w.KavrenPlt()), "x");
  for (const auto& f : JobFiles(w)) {
    if (f != w.KavrenPlt()) {
      EXPECT_FALSE(TestFileExists(f)) << f;
    }
  }
}

TEST(IsWorkFileTest, RecognisesWorkFilesHoweverTheyAreNamed) {
  ScratchDir dir;
  const WorkDir w(dir.Dir());
  WriteTestFile(w.KavrenPlt(), "job");
  WriteTestFile(w.MarkRefKv(), "1,2,3,4,5");
  std::filesystem::create_directory(Utf8Path(dir.File("sub")));
  EXPECT_TRUE(IsWorkFile(w, w.KavrenPlt()));
  EXPECT_TRUE(IsWorkFile(w, dir.File("sub/../kavren.plt")));
  EXPECT_TRUE(IsWorkFile(w, w.KavrenMPlt()));  // not written yet
  EXPECT_TRUE(IsWorkFile(w, w.ConfigIni()));
  EXPECT_FALSE(IsWorkFile(w, dir.File("cut.plt")));
  EXPECT_FALSE(IsWorkFile(w, dir.File("sub/kavren.plt")));

  std::error_code ec;
  std::filesystem::create_symlink(Utf8Path(w.MarkRefKv()), Utf8Path(dir.File("sub/out.plt")), ec);
  if (ec) GTEST_SKIP() << "no symbolic links here";
  std::filesystem::create_symlink("../kavren.kv3", Utf8Path(dir.File("sub/later.plt")));
  EXPECT_TRUE(IsWorkFile(w, dir.File("sub/out.plt")));
  EXPECT_TRUE(IsWorkFile(w, dir.File("sub/later.plt")));  // dangling, to a file still to come
}

}  // namespace
}  // namespace plotsend
