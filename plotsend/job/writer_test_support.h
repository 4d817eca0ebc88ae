#pragma once
// Shared helpers of the command writer tests: a scratch directory per test
// and whole-file reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "job/file_io.h"

namespace plotsend::testing {

class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // A random part: test runs of other checkouts share the temporary directory.
    dir_ = std::filesystem::temp_directory_path() / (std::string("plotara_writers_") + info->test_suite_name() + "_" +
                                                     info->name() + "_" + std::to_string(std::random_device{}()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

inline std::string ReadBack(const std::string& path) {
  std::string text;
  EXPECT_TRUE(ReadWholeFile(path, text)) << path;
  return text;
}

inline size_t CountOf(const std::string& text, const std::string& needle) {
  size_t n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

}  // namespace plotsend::testing
