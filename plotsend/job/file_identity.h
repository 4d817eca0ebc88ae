#pragma once
// What tells one file from another, and one version of a file from the
// next: the device, the file's number on it, its size and the time it was
// last written. One implementation per platform.
#include <cstdint>
#include <optional>
#include <string>

namespace plotsend {

struct FileIdentity {
  uint64_t device = 0;  // device id, or volume serial number
  uint64_t file = 0;    // inode, or file index
  uint64_t size = 0;
  int64_t modified = 0;  // last write, in the platform's finest ticks
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file a UTF-8 path names now (through symbolic
// links); nothing when there is none or it cannot be examined.
std::optional<FileIdentity> IdentityOf(const std::string& utf8Path);

}  // namespace plotsend
