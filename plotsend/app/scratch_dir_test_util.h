#pragma once
// A fresh directory under the system temp directory for one test, removed
// with everything in it when the test ends.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "job/file_io.h"

namespace plotsend {

class ScratchDir {
 public:
  explicit ScratchDir(std::string_view suffix = "") {
    std::random_device seed;
    std::mt19937_64 rng(seed() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
      path_ = base / ("plotara_app_" + std::to_string(rng()));
      path_ += Utf8Path(suffix);
      if (std::filesystem::create_directory(path_)) break;
    }
    const std::u8string text = path_.u8string();
    utf8_.assign(text.begin(), text.end());
    utf8_.push_back(static_cast<char>(std::filesystem::path::preferred_separator));
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }

  // The directory as UTF-8 with a trailing separator.
  const std::string& Dir() const { return utf8_; }
  std::string File(std::string_view name) const { return utf8_ + std::string(name); }

 private:
  std::filesystem::path path_;
  std::string utf8_;
};

inline void WriteTestFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(Utf8Path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadTestFile(const std::string& path) {
  std::string bytes;
  ReadWholeFile(path, bytes);
  return bytes;
}

inline bool TestFileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(Utf8Path(path), ec);
}

}  // namespace plotsend
