// The file system port over POSIX calls, with Windows paths mapped through a
// wine prefix.
#pragma once

#include <string>
#include <vector>

#include "installer/installer_ports.h"
#include "installer/posix/wine_prefix.h"

namespace barsetup {

class PosixFileSystem : public FileSystemPort {
 public:
  explicit PosixFileSystem(const WinePrefix& prefix) : prefix_(prefix) {}

  bool Exists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  bool CopyFile(const std::string& source, const std::string& target) override;
  bool MoveFile(const std::string& source, const std::string& target) override;
  bool DeleteFile(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  bool ListDirectory(const std::string& path, std::vector<DirEntry>* entries) override;
  bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) override;
  bool ReadFile(const std::string& path, std::vector<unsigned char>* bytes) override;
  // Under $TMPDIR (else /tmp), mode 0700; the path is native.
  bool CreatePrivateTempDirectory(std::string* path) override;

 private:
  const WinePrefix& prefix_;
};

// The whole of the regular file at the native path `path`; false when it is
// no regular file or cannot be read.
bool ReadRegularFile(const std::string& path, std::vector<unsigned char>* bytes);

}  // namespace barsetup
