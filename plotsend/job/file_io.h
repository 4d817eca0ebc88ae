#pragma once
// Whole-file reads and buffered writes on UTF-8 paths, with errors reported
// to the caller instead of lost.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace plotsend {

// A UTF-8 path as the standard library's path type, the same on every platform.
std::filesystem::path Utf8Path(std::string_view utf8);

// Reads the whole file into `out`. False when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);

// Creates (or replaces) a file and writes to it through a 1 MiB buffer.
// Ok() turns false on the first failed open or write and stays false.
class BufferedWriter {
 public:
  explicit BufferedWriter(const std::string& path);
  BufferedWriter(const BufferedWriter&) = delete;
  BufferedWriter& operator=(const BufferedWriter&) = delete;
  ~BufferedWriter();

  void Write(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Write(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kFlushAt) Flush();
  }
  // Flushes and closes; returns whether everything reached the file.
  bool Close();
  bool Ok() const { return ok_; }

 private:
  static constexpr size_t kFlushAt = 1 << 20;
  void Flush();

  std::ofstream file_;
  std::string buffer_;
  bool ok_ = false;
};

}  // namespace plotsend
