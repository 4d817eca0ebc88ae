#include "app/background_write.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "app/scratch_dir_test_util.h"
#include "job/file_io.h"

namespace plotsend {
namespace {

bool WriteFile(const std::string& path) {
  BufferedWriter out(path);
  out.Write("IN;");
  return out.Close();
}

TEST(BackgroundWriteTest, TheResultAndTheWriterThreadsReasonAreTakenByWait) {
  ScratchDir dir;
  std::filesystem::create_directories(Utf8Path(dir.File("folder/inner")));
  const struct {
    const char* name;
    BackgroundWrite::Writer writer;
    bool written;
    std::error_code reason;
  } cases[] = {
      {"written", [&] { return WriteFile(dir.File("a.kv")); }, true, {}},
      {"onto a folder", [&] { return WriteFile(dir.File("folder")); }, false,
       std::make_error_code(std::errc::is_a_directory)},
      {"thrown", []() -> bool { throw std::runtime_error("x"); }, false, {}},
  };
  for (const auto& c : cases) {
    BackgroundWrite write;
    EXPECT_TRUE(write.Wait()) << "nothing started yet";
    write.Start(c.writer);
    EXPECT_EQ(write.Wait(), c.written) << c.name;
    EXPECT_EQ(write.Wait(), c.written) << c.name << ", asked again";
    EXPECT_EQ(write.Error(), c.reason) << c.name;
  }
  EXPECT_EQ(ReadTestFile(dir.File("a.kv")), "IN;");
}

// A second write starts only once the first has ended, and its result alone counts.
TEST(BackgroundWriteTest, AWriteStartsAfterTheOneBefore) {
  std::atomic<int> running = 0;
  std::atomic<bool> overlapped = false;
  const auto writer = [&](bool result) {
    return [&, result] {
      overlapped = overlapped || running.fetch_add(1) != 0;
      running.fetch_sub(1);
      return result;
    };
  };
  BackgroundWrite write;
  write.Start(writer(false));
  write.Start(writer(true));
  EXPECT_TRUE(write.Wait());
  EXPECT_FALSE(overlapped);
}

}  // namespace
}  // namespace plotsend
