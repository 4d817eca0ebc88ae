#include "file_io.h"

#include <exception>

namespace plotsend {

std::filesystem::path Utf8Path(std::string_view utf8) {
  std::u8string text(utf8.begin(), utf8.end());
  return std::filesystem::path(text);
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  const std::filesystem::path file = Utf8Path(path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  in.seekg(0, std::ios::beg);
  try {
    out.resize(static_cast<size_t>(size));
  } catch (const std::exception&) {
    return false;  // larger than memory
  }
  if (size > 0 && !in.read(out.data(), size)) return false;
  return true;
}

BufferedWriter::BufferedWriter(const std::string& path)
    : file_(Utf8Path(path), std::ios::binary | std::ios::trunc), ok_(static_cast<bool>(file_)) {
  buffer_.reserve(kFlushAt + 4096);
}

BufferedWriter::~BufferedWriter() { Close(); }

void BufferedWriter::Flush() {
  if (ok_ && !buffer_.empty()) {
    file_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    ok_ = static_cast<bool>(file_);
  }
  buffer_.clear();
}

bool BufferedWriter::Close() {
  if (!file_.is_open()) return ok_;
  Flush();
  file_.close();
  if (file_.fail()) ok_ = false;
  return ok_;
}

}  // namespace plotsend
