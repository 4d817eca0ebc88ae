#pragma once
// A whole file mapped read-only into memory, for streaming it without
// reading it in. One implementation per platform.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace plotsend {

class MappedFile {
 public:
  virtual ~MappedFile() = default;
  virtual std::span<const uint8_t> Bytes() const = 0;
};

// Nothing when the file cannot be opened or mapped. An empty file maps to
// no bytes.
std::unique_ptr<MappedFile> MapFileReadOnly(const std::string& utf8Path);

}  // namespace plotsend
