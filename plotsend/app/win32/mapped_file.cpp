#include "app/mapped_file.h"

#include <windows.h>

#include <optional>
#include <string>

#include "common/win32/wide_text.h"

namespace plotsend {
namespace {

class WinMapping : public MappedFile {
 public:
  WinMapping(HANDLE file, HANDLE mapping, const void* view, size_t size)
      : file_(file), mapping_(mapping), view_(view), size_(size) {}
  ~WinMapping() override {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    CloseHandle(file_);
  }
  std::span<const uint8_t> Bytes() const override { return {static_cast<const uint8_t*>(view_), size_}; }

 private:
  HANDLE file_;
  HANDLE mapping_;
  const void* view_;
  size_t size_;
};

}  // namespace

std::unique_ptr<MappedFile> MapFileReadOnly(const std::string& utf8Path) {
  const std::optional<std::wstring> path = plotara::ToWide(utf8Path);
  if (!path) return nullptr;
  HANDLE file =
      CreateFileW(path->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    CloseHandle(file);
    return nullptr;
  }
  if (size.QuadPart == 0) return std::make_unique<WinMapping>(file, nullptr, nullptr, 0);
  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (mapping == nullptr) {
    CloseHandle(file);
    return nullptr;
  }
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) {
    CloseHandle(mapping);
    CloseHandle(file);
    return nullptr;
  }
  return std::make_unique<WinMapping>(file, mapping, view, static_cast<size_t>(size.QuadPart));
}

}  // namespace plotsend
