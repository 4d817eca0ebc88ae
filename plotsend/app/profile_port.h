#pragma once
// Private-profile (INI) files as the settings code sees them: one value read
// or written per call, by file, section and key. Paths are UTF-8.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace plotsend {

class ProfilePort {
 public:
  virtual ~ProfilePort() = default;

  // Like GetPrivateProfileStringA with a buffer of `capacity` bytes: the value
  // of `key` in `section` of `file`, blanks around it removed, or `fallback`
  // (trailing blanks removed) when the file, section or key is missing; at
  // most capacity - 1 characters either way.
  virtual std::string Read(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& fallback, size_t capacity) = 0;

  // Like WritePrivateProfileStringA: sets `key` in `section`, creating the
  // file and the section when missing (not the directory). False on failure.
  virtual bool Write(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

// Whether an entry can be written without changing the file's structure: a
// non-empty section and key, no line break anywhere, no '=' in the key and no
// key that would read as a section header or a comment. Both adapters refuse
// other entries (an empty key would delete the whole section on Windows).
bool ProfileEntryWritable(std::string_view section, std::string_view key, std::string_view value);

// The platform's implementation (INI files of our own on POSIX, the
// operating system's profile functions on Windows).
std::unique_ptr<ProfilePort> MakeProfilePort();

}  // namespace plotsend
