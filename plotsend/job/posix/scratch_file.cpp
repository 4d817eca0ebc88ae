#include "job/scratch_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "job/file_io.h"

namespace plotsend {
namespace {

class PosixWindow : public ScratchWindow {
 public:
  PosixWindow(void* base, size_t mapped, size_t skip, size_t length)
      : base_(base), mapped_(mapped), bytes_(static_cast<const uint8_t*>(base) + skip, length) {}
  ~PosixWindow() override { munmap(base_, mapped_); }
  std::span<const uint8_t> Bytes() const override { return bytes_; }

 private:
  void* base_;
  size_t mapped_;
  std::span<const uint8_t> bytes_;
};

class PosixScratchFile : public ScratchFile {
 public:
  explicit PosixScratchFile(int fd) : fd_(fd) {}
  ~PosixScratchFile() override { close(fd_); }

  bool Append(std::span<const uint8_t> bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = write(fd_, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      bytes = bytes.subspan(static_cast<size_t>(n));
      size_ += static_cast<uint64_t>(n);
    }
    return true;
  }

  uint64_t Size() const override { return size_; }

  std::unique_ptr<ScratchWindow> Map(uint64_t offset, size_t length) const override {
    if (length == 0 || offset + length > size_) return nullptr;
    static const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    const uint64_t start = offset - offset % page;
    const size_t skip = static_cast<size_t>(offset - start);
    void* base = mmap(nullptr, length + skip, PROT_READ, MAP_SHARED, fd_, static_cast<off_t>(start));
    if (base == MAP_FAILED) return nullptr;
    madvise(base, length + skip, MADV_SEQUENTIAL);
    return std::make_unique<PosixWindow>(base, length + skip, skip, length);
  }

 private:
  int fd_;
  uint64_t size_ = 0;
};

// A file without a name where the file system can make one; else a named
// one that is unlinked at once (named as the temporary files that a run
// removes when a killed run left them).
int OpenUnnamed(const std::filesystem::path& dir) {
#ifdef O_TMPFILE
  const int fd = open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0) return fd;
#endif
  std::string pattern = (dir / "scratch-XXXXXX").string().append(kTempSuffix);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int named = mkostemps(name.data(), static_cast<int>(kTempSuffix.size()), O_CLOEXEC);
  if (named >= 0) unlink(name.data());
  return named;
}

}  // namespace

std::unique_ptr<ScratchFile> CreateScratchFile(const std::string& utf8Dir) {
  std::error_code ec;
  const std::filesystem::path dir =
      utf8Dir.empty() ? std::filesystem::temp_directory_path(ec) : std::filesystem::path(utf8Dir);
  if (ec) return nullptr;
  const int fd = OpenUnnamed(dir);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixScratchFile>(fd);
}

}  // namespace plotsend
