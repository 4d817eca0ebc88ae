#include "app/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plotsend {
namespace {

class PosixMapping : public MappedFile {
 public:
  PosixMapping(void* data, size_t size) : data_(data), size_(size) {}
  ~PosixMapping() override {
    if (data_ != nullptr) munmap(data_, size_);
  }
  std::span<const uint8_t> Bytes() const override { return {static_cast<const uint8_t*>(data_), size_}; }

 private:
  void* data_;
  size_t size_;
};

}  // namespace

std::unique_ptr<MappedFile> MapFileReadOnly(const std::string& utf8Path) {
  const int fd = open(utf8Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  const size_t size = static_cast<size_t>(st.st_size);
  void* data = nullptr;
  if (size > 0) {
    data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (data == MAP_FAILED) {
      close(fd);
      return nullptr;
    }
  }
  close(fd);  // the mapping keeps the file's contents reachable
  return std::make_unique<PosixMapping>(data, size);
}

}  // namespace plotsend
