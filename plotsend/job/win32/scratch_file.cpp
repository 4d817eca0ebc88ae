#include "job/scratch_file.h"

#include <windows.h>

#include <filesystem>

#include "job/file_io.h"

namespace plotsend {
namespace {

class WinWindow : public ScratchWindow {
 public:
  WinWindow(const void* view, size_t skip, size_t length)
      : view_(view), bytes_(static_cast<const uint8_t*>(view) + skip, length) {}
  ~WinWindow() override { UnmapViewOfFile(view_); }
  std::span<const uint8_t> Bytes() const override { return bytes_; }

 private:
  const void* view_;
  std::span<const uint8_t> bytes_;
};

class WinScratchFile : public ScratchFile {
 public:
  explicit WinScratchFile(HANDLE file) : file_(file) {}
  ~WinScratchFile() override { CloseHandle(file_); }

  bool Append(std::span<const uint8_t> bytes) override {
    while (!bytes.empty()) {
      const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!WriteFile(file_, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
      bytes = bytes.subspan(written);
      size_ += written;
    }
    return true;
  }

  uint64_t Size() const override { return size_; }

  std::unique_ptr<ScratchWindow> Map(uint64_t offset, size_t length) const override {
    if (length == 0 || offset + length > size_) return nullptr;
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    const uint64_t granularity = info.dwAllocationGranularity;
    const uint64_t start = offset - offset % granularity;
    const size_t skip = static_cast<size_t>(offset - start);
    // The mapping object stays alive with its view.
    HANDLE mapping = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) return nullptr;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, static_cast<DWORD>(start >> 32),
                                     static_cast<DWORD>(start & 0xFFFFFFFFu), length + skip);
    CloseHandle(mapping);
    if (view == nullptr) return nullptr;
    return std::make_unique<WinWindow>(view, skip, length);
  }

 private:
  HANDLE file_;
  uint64_t size_ = 0;
};

}  // namespace

std::unique_ptr<ScratchFile> CreateScratchFile(const std::string& utf8Dir) {
  std::error_code ec;
  const std::filesystem::path dir = utf8Dir.empty() ? std::filesystem::temp_directory_path(ec) : Utf8Path(utf8Dir);
  if (ec) return nullptr;
  wchar_t name[MAX_PATH + 1];
  if (GetTempFileNameW(dir.c_str(), L"plo", 0, name) == 0) return nullptr;
  // Nobody else may open it, and it goes when its handle is closed, also
  // when the process ends.
  HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DeleteFileW(name);
    return nullptr;
  }
  return std::make_unique<WinScratchFile>(file);
}

}  // namespace plotsend
