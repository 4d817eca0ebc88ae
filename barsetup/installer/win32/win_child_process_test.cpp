#include "installer/win32/win_child_process.h"

#include "installer/win32/win_api.h"
#include <gtest/gtest.h>

#include "installer/win32/program_file.h"
#include "installer/win32/win32_test_util.h"

namespace barsetup {
namespace {

// The working directory of a test, put back afterwards: the child must be
// found beside the running program whatever the working directory is.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& dir) {
    GetCurrentDirectoryW(MAX_PATH, old_);
    SetCurrentDirectoryW(plotara::ToWide(dir).value().c_str());
  }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;
  ~WorkingDirectory() { SetCurrentDirectoryW(old_); }

 private:
  wchar_t old_[MAX_PATH] = L"";
};

TEST(WinChildProcess, DrainsBothStreamsAndReportsTheExitCode) {
  ScratchDir elsewhere;
  WorkingDirectory cwd(elsewhere.Path());
  WinChildProcess child;
  // Far more than a pipe holds: the run ends only if the output is drained.
  const ChildRun run = child.Run("child_probe.exe check 5 1000000");
  EXPECT_TRUE(run.started);
  EXPECT_TRUE(run.exitKnown);
  EXPECT_EQ(run.exitCode, 5);  // 3: not both streams on the pipe, or shown

  const ChildRun quiet = child.Run("child_probe.exe check 0 0");
  EXPECT_TRUE(quiet.started);
  EXPECT_TRUE(quiet.exitKnown);
  EXPECT_EQ(quiet.exitCode, 0);
}

TEST(WinChildProcess, PassesNonAsciiArgumentsThrough) {
  ScratchDir dir;
  const std::string file = dir.Path("ausgabe 输出.txt");
  WinChildProcess child;
  const ChildRun run = child.Run("child_probe.exe echo \"" + file + "\" \"Zoë 工作区\"");
  EXPECT_TRUE(run.started);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(ReadText(file), "Zoë 工作区");
}

TEST(WinChildProcess, AProgramThatIsNotThereIsNotStarted) {
  WinChildProcess child;
  const ChildRun run = child.Run("no_such_program_here.exe x");
  EXPECT_FALSE(run.started);
  EXPECT_FALSE(run.exitKnown);
}

}  // namespace
}  // namespace barsetup
