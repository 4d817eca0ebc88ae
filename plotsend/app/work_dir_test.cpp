#include "app/work_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/scratch_dir_test_util.h"

namespace plotsend {
namespace {

constexpr char kSep = static_cast<char>(std::filesystem::path::preferred_separator);

TEST(WorkDirTest, OneTrailingSeparator) {
  EXPECT_EQ(WorkDir("c:\\PlotaraCdr\\").Dir(), "c:\\PlotaraCdr\\");
  EXPECT_EQ(WorkDir("/tmp/job/").Dir(), "/tmp/job/");
  EXPECT_EQ(WorkDir("/tmp/job").Dir(), std::string("/tmp/job") + kSep);
  EXPECT_EQ(WorkDir("").Dir(), std::string(1, kSep));
}

TEST(WorkDirTest, FileNames) {
  const WorkDir w("c:\\PlotaraCdr\\");
  EXPECT_EQ(w.KavrenPlt(), "c:\\PlotaraCdr\\kavren.plt");
  EXPECT_EQ(w.KavrenMPlt(), "c:\\PlotaraCdr\\kavren_m.plt");
  EXPECT_EQ(w.KavrenKv(0), "c:\\PlotaraCdr\\kavren.kv0");
  EXPECT_EQ(w.KavrenKv(3), "c:\\PlotaraCdr\\kavren.kv3");
  EXPECT_EQ(w.MarkRefKv(), "c:\\PlotaraCdr\\markref.kv");
  EXPECT_EQ(w.CodeInfoKv(), "c:\\PlotaraCdr\\codeinfo.kv");
  EXPECT_EQ(w.CodeNumbleKv(), "c:\\PlotaraCdr\\codenumble.kv");
  EXPECT_EQ(w.ConfigIni(), "c:\\PlotaraCdr\\config.ini");
}

TEST(WorkDirTest, EnsureCreatesMissingDirectories) {
  ScratchDir dir;
  const WorkDir w(dir.File("a") + kSep + "PlotaraCdr");
  EXPECT_TRUE(EnsureWorkDir(w));
  EXPECT_TRUE(std::filesystem::is_directory(Utf8Path(w.Dir())));
  EXPECT_TRUE(EnsureWorkDir(w));  // already there

  WriteTestFile(dir.File("file"), "x");
  EXPECT_FALSE(EnsureWorkDir(WorkDir(dir.File("file"))));
}

}  // namespace
}  // namespace plotsend
