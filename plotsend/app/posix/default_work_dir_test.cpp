#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "work_dir.h"

namespace plotsend {
namespace {

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1); else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DefaultWorkDirTest, EnvironmentThenHome) {
  {
    ScopedEnv dir("PLOTARA_WORKDIR", "/srv/jobs");
    EXPECT_EQ(DefaultWorkDir().Dir(), "/srv/jobs/");
  }
  {
    ScopedEnv dir("PLOTARA_WORKDIR", "");
    ScopedEnv home("HOME", "/home/cutter");
    EXPECT_EQ(DefaultWorkDir().Dir(), "/home/cutter/PlotaraCdr/");
  }
  {
    ScopedEnv dir("PLOTARA_WORKDIR", nullptr);
    ScopedEnv home("HOME", "/home/cutter/");
    EXPECT_EQ(DefaultWorkDir().MarkRefKv(), "/home/cutter/PlotaraCdr/markref.kv");
  }
}

}  // namespace
}  // namespace plotsend
