#include "common/work_lock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace plotara {
namespace {

namespace fs = std::filesystem;

class WorkLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    dir_ = fs::temp_directory_path() / ("plotara_lock_" + std::to_string(seed()));
    fs::create_directory(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Dir() const { return dir_.string(); }
  std::string LockFileText() const {
    std::ifstream in(dir_ / std::string(kWorkLockName), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // What another process finds: the probe's one line.
  std::string Probe() const {
    const fs::path out = dir_.string() + ".probe";
    const std::string command = std::string(WORK_LOCK_PROBE) + " \"" + Dir() + "\" > \"" + out.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(out);
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::error_code ec;
    fs::remove(out, ec);
    return line;
  }

  fs::path dir_;
};

TEST_F(WorkLockTest, OneHolderAtATimeAcrossProcessesAndWithinOne) {
  {
    const WorkLock first(Dir());
    ASSERT_EQ(first.GetState(), WorkLock::State::Held);
    const uint32_t pid = ParseHolderId(LockFileText());
    EXPECT_NE(pid, 0u);
    EXPECT_EQ(Probe(), "busy " + std::to_string(pid));  // the id is readable beside the lock
    const WorkLock second(Dir());
    EXPECT_EQ(second.GetState(), WorkLock::State::Busy);
    EXPECT_EQ(second.HolderProcessId(), pid);
  }
  EXPECT_EQ(Probe(), "held");  // released with its holder
  const WorkLock again(Dir());
  EXPECT_EQ(again.GetState(), WorkLock::State::Held);
}

TEST_F(WorkLockTest, ALeftoverLockFileIsTakenOverAndItsIdReplaced) {
  std::ofstream(dir_ / std::string(kWorkLockName), std::ios::binary) << "4294967295\nmore text after it\n";
  const WorkLock lock(Dir() + std::string(1, static_cast<char>(fs::path::preferred_separator)));
  ASSERT_EQ(lock.GetState(), WorkLock::State::Held);
  const std::string text = LockFileText();
  EXPECT_NE(ParseHolderId(text), 4294967295u);
  EXPECT_EQ(text.substr(10), "\nmore text after it\n");  // overwritten in place, not truncated
}

TEST_F(WorkLockTest, AMissingDirectoryFailsWithTheSystemsReason) {
  const WorkLock lock((dir_ / "missing").string());
  EXPECT_EQ(lock.GetState(), WorkLock::State::Failed);
  EXPECT_FALSE(lock.Error().empty());
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST(HolderId, RoundTripsAndRejectsWhatIsNoNumber) {
  EXPECT_EQ(FormatHolderId(4242), "0000004242\n");
  EXPECT_EQ(ParseHolderId(FormatHolderId(4294967295u)), 4294967295u);
  EXPECT_EQ(ParseHolderId(""), 0u);
  EXPECT_EQ(ParseHolderId("x12"), 0u);
  EXPECT_EQ(ParseHolderId("99999999999"), 0u);  // beyond 32 bits
}

}  // namespace
}  // namespace plotara
