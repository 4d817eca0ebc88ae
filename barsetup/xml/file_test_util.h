#pragma once
// Test helpers for code that reads and writes files: a temporary directory
// that is removed with everything in it, and whole-file reads and writes.
// Paths are UTF-8.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace barsetup::testing {

inline std::string ToUtf8(const std::filesystem::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

class TempDir {
 public:
  explicit TempDir(std::string_view prefix = "barsetup_") {
    dir_ =
        std::filesystem::temp_directory_path() /
        (std::string(prefix) + std::to_string(reinterpret_cast<uintptr_t>(this)) + "_" + std::to_string(std::rand()));
    std::filesystem::create_directories(dir_);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string Path(const std::string& name) const { return ToUtf8(dir_ / std::filesystem::u8path(name)); }
  size_t FileCount() const {
    return static_cast<size_t>(
        std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()));
  }

 private:
  std::filesystem::path dir_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace barsetup::testing
