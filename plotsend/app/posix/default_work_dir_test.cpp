#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/work_dir.h"

namespace plotsend {
namespace {

TEST(DefaultWorkDirTest, EnvironmentThenHome) {
  const char* old_dir = std::getenv("PLOTARA_WORKDIR");
  const char* old_home = std::getenv("HOME");
  const std::string saved_dir = old_dir ? old_dir : "", saved_home = old_home ? old_home : "";

  setenv("PLOTARA_WORKDIR", "/srv/jobs", 1);
  EXPECT_EQ(DefaultWorkDir().Dir(), "/srv/jobs/");
  setenv("PLOTARA_WORKDIR", "", 1);
  setenv("HOME", "/home/cutter", 1);
  EXPECT_EQ(DefaultWorkDir().Dir(), "/home/cutter/PlotaraCdr/");
  unsetenv("PLOTARA_WORKDIR");
  setenv("HOME", "/home/cutter/", 1);
  EXPECT_EQ(DefaultWorkDir().MarkRefKv(), "/home/cutter/PlotaraCdr/markref.kv");

  if (old_dir) setenv("PLOTARA_WORKDIR", saved_dir.c_str(), 1);
  if (old_home) setenv("HOME", saved_home.c_str(), 1);
  else unsetenv("HOME");
}

}  // namespace
}  // namespace plotsend
