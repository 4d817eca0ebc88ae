#include "installer/zip_listing.h"

#include <cstddef>
#include <cstdint>

namespace barsetup {
namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kMaxComment = 0xFFFF;

uint32_t Read16(const std::vector<unsigned char>& b, size_t at) {
  return static_cast<uint32_t>(b[at] | (b[at + 1] << 8));
}

uint32_t Read32(const std::vector<unsigned char>& b, size_t at) { return Read16(b, at) | (Read16(b, at + 2) << 16); }

char Fold(char c) {
  if (c == '\\') return '/';
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const unsigned char* entry, size_t length, std::string_view name) {
  if (length != name.size()) return false;
  for (size_t i = 0; i < length; ++i) {
    if (Fold(static_cast<char>(entry[i])) != Fold(name[i])) return false;
  }
  return true;
}

// The offset of the end-of-central-directory record whose comment reaches the
// end of the archive exactly; npos when there is none.
size_t FindEndRecord(const std::vector<unsigned char>& zip) {
  if (zip.size() < kEndSize) return std::string_view::npos;
  const size_t last = zip.size() - kEndSize;
  const size_t first = last > kMaxComment ? last - kMaxComment : 0;
  for (size_t at = last + 1; at-- > first;) {
    if (Read32(zip, at) == kEndSignature && at + kEndSize + Read16(zip, at + 20) == zip.size()) return at;
  }
  return std::string_view::npos;
}

}  // namespace

bool ZipListsEntry(const std::vector<unsigned char>& zip, std::string_view name) {
  const size_t end = FindEndRecord(zip);
  if (end == std::string_view::npos) return false;
  const size_t count = Read16(zip, end + 10);
  const size_t size = Read32(zip, end + 12);
  const size_t offset = Read32(zip, end + 16);
  if (offset > end || size > end - offset) return false;  // also rejects zip64 markers
  bool found = false;
  size_t at = offset;
  for (size_t i = 0; i < count; ++i) {
    if (end - at < kCentralSize || Read32(zip, at) != kCentralSignature) return false;
    const size_t nameLength = Read16(zip, at + 28);
    const size_t recordSize = kCentralSize + nameLength + Read16(zip, at + 30) + Read16(zip, at + 32);
    if (recordSize > end - at) return false;
    found = found || SameName(zip.data() + at + kCentralSize, nameLength, name);
    at += recordSize;
  }
  return found && at == offset + size;
}

}  // namespace barsetup
